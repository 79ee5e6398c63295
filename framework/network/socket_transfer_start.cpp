// What receiving and sending do first: refuse a stopped network, a handle
// that is not valid and a call nested in another call of the same routine,
// let waiting socket messages run, and refuse a connection that is not in
// use or has failed.
#include "framework/base/log.h"
#include "framework/network/sockets_state.h"
#include "framework/network/sockets.h"

NetworkConnection* BeginSocketTransfer(int networkHandle, int& guard, const char* notInUseLine,
                                       const char* failedLine) {
    if (!Network.started || FindNetworkConnection(networkHandle) == nullptr) return nullptr;
    if (guard) return nullptr;
    guard = 1;
    ProcessNetworkMessages(0);
    // Looked up again: the messages just handled may have changed the slot.
    NetworkConnection* connection = FindNetworkConnection(networkHandle);
    if (connection == nullptr) {
        guard = 0;
        return nullptr;
    }
    if (!connection->inUse) {
        guard = 0;
        WriteLogLine(notInUseLine);
        return nullptr;
    }
    if (connection->error) {
        guard = 0;
        WriteLogLine(failedLine);
        return nullptr;
    }
    return connection;
}
