// Starting and cleaning up the socket interface, and the last socket error,
// which is the thread's last error as the kernel keeps it.
#include <cstring>
#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/winsock/host_sockets.h"
#include "platform/winsock/socket_table.h"

namespace platform::detail {

SocketTable& Sockets() {
    static SocketTable table;
    return table;
}

int SocketFailure(int error) {
    SetLastError(static_cast<DWORD>(error));
    return SOCKET_ERROR;
}

}  // namespace platform::detail

using namespace platform::detail;

int WINAPI WSAStartup(WORD versionRequested, LPWSADATA data) {
    const int major = versionRequested & 0xFF;
    const int minor = (versionRequested >> 8) & 0xFF;
    if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
    if (data == nullptr) return WSAEFAULT;
    std::memset(data, 0, sizeof(*data));
    data->wVersion = 0x0101;
    data->wHighVersion = 0x0101;
    std::strcpy(data->szDescription, "Sockets over POSIX");
    std::strcpy(data->szSystemStatus, "Running");
    data->iMaxSockets = 0x7FFF;
    data->iMaxUdpDg = 0;
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> guard(table.lock);
    ++table.startCount;
    return 0;
}

int WINAPI WSACleanup(void) {
    SocketTable& table = Sockets();
    std::vector<int> toClose;
    {
        std::lock_guard<std::mutex> guard(table.lock);
        if (table.startCount == 0) return SocketFailure(WSANOTINITIALISED);
        if (--table.startCount == 0) {
            for (const auto& [value, record] : table.sockets) toClose.push_back(record.fd);
            table.sockets.clear();
        }
    }
    for (int fd : toClose) platform::hostsock::CloseDescriptor(fd);
    return 0;
}

int WINAPI WSAGetLastError(void) { return static_cast<int>(GetLastError()); }
