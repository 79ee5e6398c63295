// Accepting a connection from the listening connection into the first free
// slot, with notifications for reading, writing and closing.
#include <cstring>

#include "framework/base/log.h"
#include "framework/network/sockets.h"
#include "framework/network/sockets_state.h"
#include "framework/base/tracked_memory.h"

namespace {

int FirstFreeSlot() {
    for (int slot = 0; slot < NetworkConnectionSlots; ++slot)
        if (Network.slots[slot] == nullptr) return slot;
    return -1;
}

int UndoAccept(NetworkConnection* connection, int slot) {
    if (IsListed(*connection)) ListRemove(&connection->listNode);
    if (connection->socket != 0 && connection->socket != INVALID_SOCKET) closesocket(connection->socket);
    RingBufferRelease(&connection->receiveRing);
    RingBufferRelease(&connection->sendRing);
    FreeMemory(connection);
    Network.slots[slot] = nullptr;
    return -1;
}

}  // namespace

int AcceptNetWork() {
    if (!Network.started) return -1;
    ProcessNetworkMessages(0);
    NetworkConnection* listener = Network.slots[ListeningSlot];
    if (listener == nullptr) return -1;

    const int slot = FirstFreeSlot();
    if (slot < 0) return WriteLogLine("空きソケットデータがなかったので accept を拒否しました \n");
    auto* connection =
        static_cast<NetworkConnection*>(AllocZeroedMemory(sizeof(NetworkConnection), __FILE__, __LINE__));
    if (connection == nullptr) return WriteLogLine("ソケット用のメモリの確保に失敗しました\n");
    Network.slots[slot] = connection;

    connection->inUse = 1;
    connection->connected = 1;
    connection->error = 0;
    connection->pendingMark = 0;
    connection->spareFlag0 = 0;
    connection->spareFlag1 = 1;
    connection->framed = Network.rawMode == 0 ? 1 : 0;
    connection->autoClose = Network.noAutoClose == 0 ? 1 : 0;
    ListAdd(&Network.listHead, &connection->listNode, MakeNetworkHandle(Network.checkCounter, slot), connection);
    // The rings and the framing counts start cleared (the record was zeroed).

    sockaddr_in peer{};
    int peerLength = sizeof(peer);
    connection->socket = accept(listener->socket, reinterpret_cast<sockaddr*>(&peer), &peerLength);
    if (connection->socket == INVALID_SOCKET) {
        NetworkLogError("acceptに失敗しました");
        return UndoAccept(connection, slot);
    }
    std::memcpy(connection->peerAddress, &peer.sin_addr.S_un.S_un_b, 4);
    connection->peerPort = peer.sin_port;

    if (WSAAsyncSelect(connection->socket, Network.socketWindow, SocketNotifyMessage,
                       FD_READ | FD_WRITE | FD_CLOSE) != 0) {
        NetworkLogError("WSAAsyncSelectのエラー in AcceptNetWork");
        return UndoAccept(connection, slot);
    }

    connection->check = Network.checkCounter;
    Network.checkCounter = (Network.checkCounter + 1) % NetworkCheckValues;
    return 1;
}
