// Receiving on a framed connection: each message's 4-byte length is peeked
// first, so a message is begun only when its whole header has come; its bytes
// then go straight from the socket into the receive ring, in at most two
// pieces around the ring's end.
#include "framework/base/log.h"
#include "framework/network/sockets.h"
#include "framework/network/sockets_state.h"

namespace {

int ReceiveGuard = 0;

// Begins the next message when its whole header has come. 1: begun; 0: not
// yet; -1: refused or no room, the connection is marked failed.
int BeginMessage(NetworkConnection& connection) {
    uint8_t header[4];
    if (recv(connection.socket, reinterpret_cast<char*>(header), 4, MSG_PEEK) < 4) return 0;
    const int length = DecodeMessageLength(header);
    if (length < 0 || length > MaxNetworkMessageLength) {
        // Left unread: the connection is closed for it.
        connection.error = 1;
        return WriteLogFormat("受信データのサイズが不正です(データサイズ %d byte)", length);
    }
    if (recv(connection.socket, reinterpret_cast<char*>(header), 4, 0) < 4) return 0;
    connection.receiveMissing = length;
    connection.receiveMessageLength = length;
    if (RingBufferReserve(length, &connection.receiveRing) != 0) {
        connection.error = 1;
        return WriteLogFormat("受信データを保存するリングバッファのリサイズに失敗しました(データサイズ %d byte)",
                              connection.receiveMessageLength);
    }
    return 1;
}

// Reads what has come of the message under way into the ring; the count, or
// -1 on a socket error.
int ReadMessageBytes(NetworkConnection& connection) {
    RingBuffer& ring = connection.receiveRing;
    const int missing = connection.receiveMissing;
    if (missing == 0) return 0;
    RingBufferFixPositions(&ring);
    char* block = reinterpret_cast<char*>(ring.data);
    return MoveAroundRing(ring, ring.writePosition, missing, [&](int offset, int length) {
        return recv(connection.socket, block + offset, length, 0);
    });
}

int ReceiveMessages(NetworkConnection& connection) {
    if (!connection.framed) return 0;
    for (;;) {
        if (connection.receiveMissing == 0) {
            const int begun = BeginMessage(connection);
            if (begun <= 0) return begun;
        }
        const int got = ReadMessageBytes(connection);
        if (got < 0) return 0;
        connection.receiveRing.held += got;
        connection.receiveMissing -= got;
        const bool finished = connection.receiveMissing == 0;
        if (finished) {
            // Counted without overflow: the total wraps instead.
            connection.receiveComplete = static_cast<int>(static_cast<uint32_t>(connection.receiveComplete) +
                                                          static_cast<uint32_t>(connection.receiveMessageLength));
        }
        ProcessNetworkMessages(0);
        // Reading goes on until the socket has nothing more (or has ended),
        // also inside a message and after an empty one: a notification for
        // what is left may have come during the pump above and been turned
        // away by the guard, and no later one would announce it. The read
        // that finds nothing asks the socket for the next notification.
        if (!finished && got == 0) return 0;
    }
}

}  // namespace

int RecvSocket(int networkHandle) {
    NetworkConnection* connection =
        BeginSocketTransfer(networkHandle, ReceiveGuard, "有効なネットワークハンドルではありません in RecvSocket\n",
                            "このネットワークハンドルにはエラーが発生しています in RecvSocket\n");
    if (connection == nullptr) return -1;
    const int result = ReceiveMessages(*connection);
    ReceiveGuard = 0;
    return result;
}
