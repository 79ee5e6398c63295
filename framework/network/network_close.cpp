// Closing one connection: what is under way is given a bounded time to
// finish in each direction, then the socket, the rings and the record go.
#include "framework/network/sockets.h"
#include "framework/network/sockets_state.h"
#include "framework/base/tracked_memory.h"
#include "platform/winmm/winmm.h"

namespace {

constexpr DWORD DrainMilliseconds = 1000;
constexpr DWORD MillisecondMask = 0x7FFFFFFF;

// Milliseconds since `start`, both taken as timeGetTime & 0x7FFFFFFF. The
// difference is taken modulo the mask, so it stays right when the masked
// clock wraps during the wait.
DWORD MillisecondsSince(DWORD start) { return ((timeGetTime() & MillisecondMask) - start) & MillisecondMask; }

// Runs `step` while the time lasts, `more` holds and the pump is fine; a
// refused step (the connection has failed) ends the wait at once.
template <typename More, typename Step>
void Drain(More more, Step step) {
    const DWORD start = timeGetTime() & MillisecondMask;
    while (MillisecondsSince(start) < DrainMilliseconds && more() && ProcessNetworkMessages(0) == 0) {
        if (step() < 0) break;
    }
}

}  // namespace

int CloseNetWork(int networkHandle) {
    if (!Network.started) return -1;
    NetworkConnection* connection = FindNetworkConnection(networkHandle);
    if (connection == nullptr || !connection->inUse) return -1;
    ProcessNetworkMessages(0);

    Drain([&] { return connection->receiveMissing > 0; }, [&] { return RecvSocket(networkHandle); });
    Drain([&] { return connection->sendRing.held > 0; }, [&] { return SendSocket(networkHandle); });

    WSAAsyncSelect(connection->socket, Network.socketWindow, 0, 0);
    closesocket(connection->socket);
    RingBufferRelease(&connection->receiveRing);
    RingBufferRelease(&connection->sendRing);
    if (IsListed(*connection)) ListRemove(&connection->listNode);
    FreeMemory(connection);
    Network.slots[networkHandle & 0xFFFF] = nullptr;
    return 0;
}
