// Sending on a framed connection: a message is everything the send ring held
// when it was begun, sent as its 4-byte length and then its bytes, straight
// from the ring in at most two pieces around the ring's end. What the socket
// does not take now stays where it is for the next call; send errors are not
// reported.
#include "framework/network/sockets.h"
#include "framework/network/sockets_state.h"

namespace {

int SendGuard = 0;

// Sends the rest of a header that went out in part. False: the header is
// still not all sent.
bool FinishHeader(NetworkConnection& connection) {
    uint8_t header[4];
    EncodeMessageLength(connection.sendToGo, header);
    const int left = connection.sendHeaderLeft;
    const int sent = send(connection.socket, reinterpret_cast<const char*>(header + 4 - left), left, 0);
    if (sent < 0) return false;
    connection.sendHeaderLeft = left - sent;
    return connection.sendHeaderLeft == 0;
}

// Begins a message of everything the ring holds. False: its header did not
// all go.
bool BeginMessage(NetworkConnection& connection) {
    connection.sendToGo = connection.sendRing.held;
    uint8_t header[4];
    EncodeMessageLength(connection.sendToGo, header);
    const int sent = send(connection.socket, reinterpret_cast<const char*>(header), 4, 0);
    if (sent < 0) {
        connection.sendToGo = 0;
        return false;
    }
    if (sent < 4) {
        connection.sendHeaderLeft = 4 - sent;
        return false;
    }
    return true;
}

// Sends what the socket takes of the message under way; the count, or -1 on a
// socket error.
int SendMessageBytes(NetworkConnection& connection) {
    RingBuffer& ring = connection.sendRing;
    const int toGo = connection.sendToGo;
    RingBufferFixPositions(&ring);
    const char* block = reinterpret_cast<const char*>(ring.data);
    return MoveAroundRing(ring, ring.readPosition, toGo, [&](int offset, int length) {
        return send(connection.socket, block + offset, length, 0);
    });
}

void SendMessages(NetworkConnection& connection) {
    if (connection.sendRing.held == 0 || !connection.framed) return;
    for (;;) {
        if (connection.sendHeaderLeft > 0 && !FinishHeader(connection)) return;
        if (connection.sendToGo == 0 && !BeginMessage(connection)) return;
        const int sent = SendMessageBytes(connection);
        if (sent < 0) return;
        connection.sendRing.held -= sent;
        connection.sendToGo -= sent;
        ProcessNetworkMessages(0);
        // Sending goes on until the socket takes no more, also inside a
        // message: a notification that it can take more may have come during
        // the pump above and been turned away by the guard. The send it
        // refuses asks the socket for the next one.
        if (sent == 0 || connection.sendRing.held == 0) return;
    }
}

}  // namespace

int SendSocket(int networkHandle) {
    NetworkConnection* connection =
        BeginSocketTransfer(networkHandle, SendGuard, "有効なネットワークハンドルではありません in SendSocket\n",
                            "このネットワークハンドルにはエラーが発生しています in SendSocket\n");
    if (connection == nullptr) return -1;
    SendMessages(*connection);
    SendGuard = 0;
    return 0;
}
