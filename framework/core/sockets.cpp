// The network is never started in this build: no socket belongs to a
// connection and there is nothing to process.
#include "framework/core/sockets.h"

LRESULT HandleSocketMessage(LPARAM eventWord, WPARAM socket) { return 0; }

int ProcessNetworkMessages(int closeFailed) { return 0; }
int EndNetwork() { return 0; }
