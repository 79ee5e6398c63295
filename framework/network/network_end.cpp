// Ending the network: every connection is closed, the socket window is told to
// close, the state is cleared and the socket interface cleaned up.
#include "framework/base/log.h"
#include "framework/network/sockets.h"
#include "framework/network/sockets_state.h"

namespace {

// Closes every connection in slot order, the listening one last; 1 when it
// closed any.
int CloseEverySlot() {
    int closedAny = 0;
    for (int slot = 0; slot <= ListeningSlot; ++slot) {
        NetworkConnection* connection = Network.slots[slot];
        if (connection != nullptr && CloseNetWork(MakeNetworkHandle(connection->check, slot)) == 0) closedAny = 1;
    }
    return closedAny;
}

}  // namespace

int EndNetwork() {
    if (!Network.started) return 0;
    WriteLogLine("ネットワーク関連の終了処理を行います \n");
    // Each close lets socket messages run, and an accept among them may take
    // a slot that the sweep has already passed: sweep again until a sweep
    // closes nothing, which is at the latest the one after the listening
    // connection went.
    while (CloseEverySlot()) {
    }

    if (Network.socketWindow != nullptr) {
        PostMessageA(Network.socketWindow, WM_CLOSE, 0, 0);
        if (!Network.windowEnded) {
            while (ProcessNetworkMessages(0) > 0 && !Network.windowEnded) {
            }
        }
    }

    Network = NetworkState{};
    WSACleanup();
    WriteLogLine("ネットワーク関連の終了処理は完了しました\n");
    return 0;
}
