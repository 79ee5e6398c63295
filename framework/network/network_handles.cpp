// The network state and the check of network handles.
#include "framework/network/sockets_state.h"

NetworkState Network;

NetworkConnection* FindNetworkConnection(int networkHandle) {
    if (networkHandle < 0 || (networkHandle & NetworkHandleKindMask) != NetworkHandleKind) return nullptr;
    const int slot = networkHandle & 0xFFFF;
    if (slot > ListeningSlot) return nullptr;
    NetworkConnection* connection = Network.slots[slot];
    if (connection == nullptr || (connection->check << 16) != (networkHandle & NetworkHandleCheckMask))
        return nullptr;
    return connection;
}
