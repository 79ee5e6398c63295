// The socket notification message: finds the connection of the socket and
// acts on the event.
#include "framework/base/log.h"
#include "framework/network/sockets.h"
#include "framework/network/sockets_state.h"

namespace {

HandleListNode* FindNodeOfSocket(SOCKET socket) {
    for (HandleListNode* node = Network.listHead.next; node != nullptr && node != &Network.listTail;
         node = node->next) {
        if (static_cast<NetworkConnection*>(node->data)->socket == socket) return node;
    }
    return nullptr;
}

}  // namespace

LRESULT HandleSocketMessage(LPARAM eventWord, WPARAM socket) {
    if (!Network.started) return 0;
    HandleListNode* node = FindNodeOfSocket(static_cast<SOCKET>(socket));
    if (node == nullptr) {
        WriteLogLine("通信エラー No.1\n");
        return 0;
    }
    auto* connection = static_cast<NetworkConnection*>(node->data);
    switch (WSAGETSELECTEVENT(eventWord)) {
        case FD_READ: RecvSocket(node->ID); break;
        case FD_WRITE: SendSocket(node->ID); break;
        case FD_ACCEPT: return AcceptNetWork();
        case FD_CONNECT:
            if (WSAGETSELECTERROR(eventWord) == 0) connection->connected = 1;
            break;
        case FD_CLOSE:
            connection->connected = 0;
            connection->pendingMark = 0;
            break;
        default: break;
    }
    return 1;
}
