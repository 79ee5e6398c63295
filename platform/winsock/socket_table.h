// The socket stand-in's own state: whether the interface is started, and one
// record per open socket, found by its SOCKET value. Internal to the
// platform.
#pragma once

#include <map>
#include <mutex>

#include "platform/winsock/winsock.h"

namespace platform::detail {

struct SocketRecord {
    int fd = -1;
    bool listening = false;
    bool connected = false;
    bool nonBlocking = false;
    // WSAAsyncSelect's registration; no window: no notifications.
    HWND window = nullptr;
    UINT message = 0;
    LONG events = 0;
    // Whether each event may be posted again (see WSAAsyncSelect).
    bool readArmed = true;
    bool writeArmed = true;
    bool acceptArmed = true;
    bool closePosted = false;
    // The bytes that were waiting when FD_READ was last posted: more than
    // these means new data, which is announced even without a recv.
    int bytesAnnounced = 0;
};

struct SocketTable {
    std::mutex lock;
    int startCount = 0;
    // Values go up by 4 and are never handed out twice, so a stale value
    // never names a newer socket.
    SOCKET nextValue = 0x100;
    std::map<SOCKET, SocketRecord> sockets;
};

SocketTable& Sockets();

// The descriptor behind `s`, or the error to report: WSANOTINITIALISED
// before WSAStartup, WSAENOTSOCK for a value that names no socket. The table
// must be locked.
bool FindDescriptorLocked(SocketTable& table, SOCKET s, int& fd, int& error);

// Sets the calling thread's last socket error and returns SOCKET_ERROR.
int SocketFailure(int error);

// The posting of notifications, run whenever a thread looks at its queue.
void PollSelectedSockets();

}  // namespace platform::detail
