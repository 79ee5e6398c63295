// The socket window's pump: closes the connections that have failed (or that
// the peer ended and that may be closed here), then dispatches the socket
// window's waiting messages.
#include "framework/network/sockets.h"
#include "framework/network/sockets_state.h"

namespace {

bool ShouldClose(const NetworkConnection& connection) {
    if (!connection.inUse) return false;
    return connection.error || (!connection.connected && connection.pendingMark && connection.autoClose);
}

void CloseFailedConnections() {
    HandleListNode* node = Network.listHead.next;
    while (node != nullptr && node != &Network.listTail) {
        // Taken first: closing frees the record that holds this node.
        HandleListNode* next = node->next;
        if (ShouldClose(*static_cast<NetworkConnection*>(node->data))) CloseNetWork(node->ID);
        node = next;
    }
}

}  // namespace

int ProcessNetworkMessages(int closeFailed) {
    if (Network.socketWindow == nullptr || !Network.started) return 0;
    if (closeFailed == 1) CloseFailedConnections();
    MSG message;
    while (PeekMessageA(&message, Network.socketWindow, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
