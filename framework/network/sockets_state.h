// Internal to framework/network (and its tests): nothing outside the folder includes it.
// The socket layer's records: the connections behind network handles, their
// byte rings, and the one process-wide network state.
//
// A network handle is ((check | 0x4800) << 16) | slot: the kind bits
// 0x48000000, the connection's check value (0 to 2047) in bits 16 to 26 and
// its slot in bits 0 to 15.
#pragma once

#include <cstdint>

#include "framework/base/base_functions.h"
#include "platform/winsock/winsock.h"

constexpr int NetworkConnectionSlots = 4096;  // slots that accepted connections take
constexpr int ListeningSlot = 4096;           // the listening connection's slot
constexpr int NetworkHandleKind = 0x48000000;
constexpr int NetworkHandleKindMask = 0x78000000;
constexpr int NetworkHandleCheckMask = 0x07FF0000;
constexpr int NetworkCheckValues = 2048;
// The longest message a peer may announce. A longer (or negative) length is
// refused before anything is reserved for it: the connection is marked failed
// and the pump closes it.
constexpr int MaxNetworkMessageLength = 16 * 1024 * 1024;

// Held bytes start at the read position and may wrap past the end of the
// block to its start.
struct RingBuffer {
    uint8_t* data;  // from AllocMemory, or null
    int readPosition;
    int writePosition;
    int held;
    int capacity;
};

// Moves up to `count` bytes between a socket and the ring, starting at
// `position` and wrapping once at the ring's end; `move(offset, length)` is
// the socket call for one piece. Returns the bytes moved, or -1 when the first
// piece fails; `position` follows what was moved. A failing second piece
// keeps what the first one moved.
template <class Move>
int MoveAroundRing(const RingBuffer& ring, int& position, int count, Move move) {
    const int start = position;
    if (start + count <= ring.capacity) {
        const int moved = move(start, count);
        if (moved < 0) return -1;
        position = start + moved;
        return moved;
    }
    const int toEnd = ring.capacity - start;
    const int moved = move(start, toEnd);
    if (moved < 0) return -1;
    if (moved < toEnd) {
        position = start + moved;
        return moved;
    }
    const int more = move(0, count - toEnd);
    if (more < 0) {
        position = 0;
        return moved;
    }
    position = more;
    return moved + more;
}

struct NetworkConnection {
    int inUse;
    int error;          // 1 once the receive side has failed
    int connected;
    int pendingMark;    // 0 at accept, cleared by FD_CLOSE
    int spareFlag0;     // set to 0 at accept; read by nothing here
    int spareFlag1;     // set to 1 at accept; read by nothing here
    int framed;         // data goes through the rings with length headers
    int autoClose;      // the pump may close the connection
    int check;
    SOCKET socket;
    // Bytes of the message under receipt still to come; 0 between messages.
    int receiveMissing;
    RingBuffer receiveRing;
    int receiveMessageLength;
    int receiveComplete;  // bytes of the messages received completely
    RingBuffer sendRing;
    int sendToGo;         // bytes of the message under way still to send
    int sendHeaderLeft;   // bytes of its 4-byte header not yet sent
    uint8_t peerAddress[4];  // network order
    int peerPort;            // as the socket address holds it (network order)
    HandleListNode listNode;
};

// All zero until the network is started; EndNetwork clears it again. Whatever
// starts the network sets up the list (ListInit) and the socket window, puts
// the listening connection into its slot and the list, and sets `started`.
struct NetworkState {
    NetworkConnection* slots[NetworkConnectionSlots + 1];
    HandleListNode listHead;  // new connections go to the front
    HandleListNode listTail;
    int checkCounter;         // the next connection's check value
    int started;
    HWND socketWindow;        // the window WSAAsyncSelect notifies
    int rawMode;              // 1: new connections are not framed
    int noAutoClose;          // 1: new connections are not closed by the pump
    int windowEnded;
};

extern NetworkState Network;

inline int MakeNetworkHandle(int check, int slot) { return ((check | 0x4800) << 16) | slot; }
// The connection a valid handle names (in use or not), or null.
NetworkConnection* FindNetworkConnection(int networkHandle);
// The connection's node is in the connection list.
inline bool IsListed(const NetworkConnection& connection) { return connection.listNode.previous != nullptr; }

// A read or write position equal to the capacity becomes 0.
void RingBufferFixPositions(RingBuffer* ring);
// Makes room for `count` more bytes; 0, or -1 when the block cannot grow
// (it is then freed and the ring cleared).
int RingBufferReserve(int count, RingBuffer* ring);
// Frees the block and clears the ring; 0.
int RingBufferRelease(RingBuffer* ring);

// A 4-byte little-endian length as it stands on the wire.
inline void EncodeMessageLength(int length, uint8_t header[4]) {
    const uint32_t value = static_cast<uint32_t>(length);
    for (int i = 0; i < 4; ++i) header[i] = static_cast<uint8_t>(value >> (8 * i));
}
inline int DecodeMessageLength(const uint8_t header[4]) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(header[i]) << (8 * i);
    return static_cast<int>(value);
}

// The common start of RecvSocket and SendSocket: refuses (null) a stopped
// network, a handle that is not valid, a call while `guard` is set, and, after
// the waiting socket messages have run, a connection that is not in use or
// has failed (logging the line given for each). On success `guard` is set and
// the caller clears it on every way out.
NetworkConnection* BeginSocketTransfer(int networkHandle, int& guard, const char* notInUseLine,
                                       const char* failedLine);
