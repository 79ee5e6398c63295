// Network handles and the life of a connection: accepting, the socket
// message, closing, the pump and the end of the network, with the states the
// layer must refuse.
#include <cstring>

#include "platform/profile/machine_profile.h"
#include "tests/framework/network/network_fixture.h"

namespace networktest {
namespace {

class NetworkConnectionsTest : public NetworkTest {};
class NetworkNotStartedTest : public testsupport::StartedLogTest {};

// Nothing starts the network in this program: every routine returns at once
// and writes nothing.
TEST_F(NetworkNotStartedTest, EveryRoutineReturnsAtOnceWhileTheNetworkIsNotStarted) {
    Network = NetworkState{};
    const int handle = MakeNetworkHandle(0, 0);
    EXPECT_EQ(RecvSocket(handle), -1);
    EXPECT_EQ(SendSocket(handle), -1);
    EXPECT_EQ(AcceptNetWork(), -1);
    EXPECT_EQ(CloseNetWork(handle), -1);
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_READ, 0), 0x1234), 0);
    EXPECT_EQ(ProcessNetworkMessages(1), 0);
    EXPECT_EQ(EndNetwork(), 0);
    EXPECT_EQ(LogText(), "");
}

TEST_F(NetworkConnectionsTest, AnAcceptedConnectionKnowsItsPeerAndIsFramed) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    EXPECT_EQ(handle & 0xFFFF, 0);
    EXPECT_EQ(handle, MakeNetworkHandle(1, 0)) << "the listening connection took check value 0";
    const NetworkConnection* connection = FindNetworkConnection(handle);
    EXPECT_EQ(connection->inUse, 1);
    EXPECT_EQ(connection->connected, 1);
    EXPECT_EQ(connection->framed, 1);
    EXPECT_EQ(connection->autoClose, 1);
    EXPECT_EQ(connection->pendingMark, 0);
    EXPECT_EQ(connection->spareFlag0, 0);
    EXPECT_EQ(connection->spareFlag1, 1);
    const uint8_t loopback[4] = {127, 0, 0, 1};
    EXPECT_EQ(std::memcmp(connection->peerAddress, loopback, 4), 0);
    EXPECT_EQ(connection->peerPort, peer->localPort());
    EXPECT_EQ(Network.listHead.next, &connection->listNode) << "new connections go to the front";
    EXPECT_EQ(Network.checkCounter, 2);
}

TEST_F(NetworkConnectionsTest, RawModeAndNoAutoCloseShapeNewConnections) {
    Network.rawMode = 1;
    Network.noAutoClose = 1;
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    EXPECT_EQ(connection->framed, 0);
    EXPECT_EQ(connection->autoClose, 0);
    // A connection that is not framed leaves its data in the socket.
    peer->sendBytes(Frame("raw"));
    PumpUntilSettled(connection);
    EXPECT_EQ(connection->receiveRing.held, 0);
    EXPECT_EQ(connection->receiveMissing, 0);
}

// The check value runs from 0 to 2047 and then starts again; a handle of an
// earlier connection in the same slot no longer names the new one.
TEST_F(NetworkConnectionsTest, TheCheckCounterWrapsAndStaleHandlesAreRefused) {
    Network.checkCounter = 2047;
    std::unique_ptr<PosixPeer> first;
    const int firstHandle = Connect(first);
    EXPECT_EQ(firstHandle, MakeNetworkHandle(2047, 0));
    EXPECT_EQ(Network.checkCounter, 0);
    ASSERT_EQ(CloseNetWork(firstHandle), 0);

    std::unique_ptr<PosixPeer> second;
    const int secondHandle = Connect(second);
    EXPECT_EQ(secondHandle, MakeNetworkHandle(0, 0));
    EXPECT_EQ(Network.checkCounter, 1);

    const size_t mark = LogText().size();
    EXPECT_EQ(RecvSocket(firstHandle), -1);
    EXPECT_EQ(SendSocket(firstHandle), -1);
    EXPECT_EQ(CloseNetWork(firstHandle), -1);
    EXPECT_EQ(LinesSince(mark), std::vector<std::string>{}) << "a handle that is not valid is not logged";
}

TEST_F(NetworkConnectionsTest, HandlesThatAreNotValidAreRefusedWithoutALogLine) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    const int notValid[] = {
        -1,
        0,
        handle & ~NetworkHandleKindMask,
        (handle & ~NetworkHandleKindMask) | 0x28000000,  // another kind of handle
        static_cast<int>(static_cast<unsigned int>(handle) | 0x80000000u),  // negative
        MakeNetworkHandle(1, 1),                         // an empty slot
        MakeNetworkHandle(1, 4097),                      // past the slots
        MakeNetworkHandle(5, 0),                         // another check value
    };
    const size_t mark = LogText().size();
    for (int each : notValid) {
        SCOPED_TRACE(each);
        EXPECT_EQ(FindNetworkConnection(each), nullptr);
        EXPECT_EQ(RecvSocket(each), -1);
        EXPECT_EQ(SendSocket(each), -1);
        EXPECT_EQ(CloseNetWork(each), -1);
    }
    EXPECT_EQ(LinesSince(mark), std::vector<std::string>{});
}

TEST_F(NetworkConnectionsTest, AConnectionNotInUseOrFailedIsRefusedWithItsLogLine) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);

    connection->inUse = 0;
    size_t mark = LogText().size();
    EXPECT_EQ(RecvSocket(handle), -1);
    EXPECT_EQ(SendSocket(handle), -1);
    EXPECT_EQ(CloseNetWork(handle), -1);
    EXPECT_EQ(LinesSince(mark), (std::vector<std::string>{"有効なネットワークハンドルではありません in RecvSocket",
                                                             "有効なネットワークハンドルではありません in SendSocket"}));
    connection->inUse = 1;

    connection->error = 1;
    mark = LogText().size();
    EXPECT_EQ(RecvSocket(handle), -1);
    EXPECT_EQ(SendSocket(handle), -1);
    EXPECT_EQ(LinesSince(mark),
              (std::vector<std::string>{"このネットワークハンドルにはエラーが発生しています in RecvSocket",
                                        "このネットワークハンドルにはエラーが発生しています in SendSocket"}));
    // The pump closes a failed connection.
    EXPECT_EQ(ProcessNetworkMessages(1), 0);
    EXPECT_EQ(FindNetworkConnection(handle), nullptr);
    EXPECT_TRUE(peer->seesClosed());
}

TEST_F(NetworkConnectionsTest, ThePumpClosesAnEndedConnectionOnlyWhenMarkedAndAllowed) {
    std::unique_ptr<PosixPeer> peers[3];
    int handles[3];
    for (int i = 0; i < 3; ++i) ASSERT_GE(handles[i] = Connect(peers[i]), 0);
    struct Case {
        int connected, pendingMark, autoClose;
        bool closed;
    };
    const Case cases[3] = {{0, 1, 1, true}, {0, 1, 0, false}, {1, 1, 1, false}};
    for (int i = 0; i < 3; ++i) {
        NetworkConnection* connection = FindNetworkConnection(handles[i]);
        connection->connected = cases[i].connected;
        connection->pendingMark = cases[i].pendingMark;
        connection->autoClose = cases[i].autoClose;
    }
    ProcessNetworkMessages(0);
    for (int handle : handles) EXPECT_NE(FindNetworkConnection(handle), nullptr) << "flag 0 closes nothing";
    ProcessNetworkMessages(1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(FindNetworkConnection(handles[i]) == nullptr, cases[i].closed) << i;
}

TEST_F(NetworkConnectionsTest, AFailedAcceptIsLoggedWithTheSocketErrorAndUndone) {
    const int blocks = LiveTrackedBlocks();
    const size_t mark = LogText().size();
    EXPECT_EQ(AcceptNetWork(), -1);
    EXPECT_EQ(LinesSince(mark), std::vector<std::string>{"ネットワークログ。acceptに失敗しました[10035]"});
    EXPECT_EQ(Network.slots[0], nullptr);
    EXPECT_EQ(Network.checkCounter, 1);
    EXPECT_EQ(Network.listHead.next, &Network.slots[ListeningSlot]->listNode);
    EXPECT_EQ(Network.listHead.next->next, &Network.listTail);
    EXPECT_EQ(LiveTrackedBlocks(), blocks);
}

TEST_F(NetworkConnectionsTest, AcceptNeverTakesTheListeningSlotAndRefusesWhenAllAreFull) {
    std::vector<NetworkConnection*> fillers;
    for (int slot = 0; slot < NetworkConnectionSlots; ++slot) {
        Network.slots[slot] =
            static_cast<NetworkConnection*>(AllocZeroedMemory(sizeof(NetworkConnection), __FILE__, __LINE__));
        fillers.push_back(Network.slots[slot]);
    }
    NetworkConnection* listening = Network.slots[ListeningSlot];
    const size_t mark = LogText().size();
    EXPECT_EQ(AcceptNetWork(), -1);
    EXPECT_EQ(LinesSince(mark), std::vector<std::string>{"空きソケットデータがなかったので accept を拒否しました "});
    EXPECT_EQ(Network.slots[ListeningSlot], listening);
    for (int slot = 0; slot < NetworkConnectionSlots; ++slot) {
        FreeMemory(fillers[slot]);
        Network.slots[slot] = nullptr;
    }
}

TEST_F(NetworkConnectionsTest, AMessageForASocketOfNoConnectionIsLoggedAndAnswered0) {
    const size_t mark = LogText().size();
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_READ, 0), 0x7654), 0);
    EXPECT_EQ(LinesSince(mark), std::vector<std::string>{"通信エラー No.1"});
}

TEST_F(NetworkConnectionsTest, TheSocketMessageActsOnItsEvent) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    const WPARAM socket = connection->socket;

    connection->connected = 0;
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_CONNECT, WSAECONNREFUSED), socket), 1);
    EXPECT_EQ(connection->connected, 0) << "a failed connect";
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_CONNECT, 0), socket), 1);
    EXPECT_EQ(connection->connected, 1);
    connection->pendingMark = 1;
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_CLOSE, 0), socket), 1);
    EXPECT_EQ(connection->connected, 0);
    EXPECT_EQ(connection->pendingMark, 0);
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_OOB, 0), socket), 1);

    // FD_READ receives, FD_WRITE sends.
    peer->sendBytes(Frame("ping"));
    ASSERT_TRUE(WaitUntilWaiting(socket, static_cast<int>(Frame("ping").size())));
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_READ, 0), socket), 1);
    EXPECT_EQ(HeldBytes(connection->receiveRing), "ping");
    PutBytes(connection->sendRing, "pong");
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_WRITE, 0), socket), 1);
    EXPECT_EQ(peer->receive(8), Frame("pong"));

    // FD_ACCEPT answers with the accept's result. The listening socket's own
    // notification is stopped, so that only this message accepts.
    const SOCKET listener = Network.slots[ListeningSlot]->socket;
    ASSERT_EQ(WSAAsyncSelect(listener, window_, 0, 0), 0);
    std::unique_ptr<PosixPeer> another = std::make_unique<PosixPeer>(port_);
    ASSERT_TRUE(WaitUntilWaiting(listener, 0));
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_ACCEPT, 0), listener), 1);
    EXPECT_NE(Network.slots[1], nullptr);
    EXPECT_EQ(HandleSocketMessage(WSAMAKESELECTREPLY(FD_ACCEPT, 0), listener), -1) << "nothing to accept";
}

TEST_F(NetworkConnectionsTest, ClosingSendsWhatTheRingHoldsFirst) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    PutBytes(connection->sendRing, "goodbye");
    EXPECT_EQ(CloseNetWork(handle), 0);
    EXPECT_EQ(Network.slots[handle & 0xFFFF], nullptr);
    EXPECT_EQ(Network.listHead.next, &Network.slots[ListeningSlot]->listNode);
    EXPECT_EQ(peer->receive(11), Frame("goodbye"));
    EXPECT_TRUE(peer->seesClosed());
    EXPECT_EQ(CloseNetWork(handle), -1);
}

// A message whose rest never comes holds the close up for at most its bounded
// wait, also when the millisecond clock wraps during the wait.
TEST_F(NetworkConnectionsTest, ClosingWaitsABoundedTimeForAMessageThatNeverEnds) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    peer->sendBytes(LittleEndian32(100) + "only ten..");
    ASSERT_TRUE(PumpUntil([&] { return connection->receiveRing.held == 10; }));

    // The masked clock stands 16 ms before its wrap.
    platform::Profile().clock.timeGetTimeOrigin += 0x7FFFFFF0u - (timeGetTime() & 0x7FFFFFFFu);
    const DWORD start = timeGetTime();
    EXPECT_EQ(CloseNetWork(handle), 0);
    const DWORD waited = timeGetTime() - start;
    EXPECT_GE(waited, 1000u);
    EXPECT_LT(waited, 1100u);
    EXPECT_TRUE(peer->seesClosed());
}

TEST_F(NetworkConnectionsTest, EndingTheNetworkClosesEverythingAndClearsTheState) {
    std::unique_ptr<PosixPeer> peers[2];
    for (auto& peer : peers) ASSERT_GE(Connect(peer), 0);
    const size_t mark = LogText().size();
    EXPECT_EQ(EndNetwork(), 0);
    EXPECT_EQ(LinesSince(mark), (std::vector<std::string>{"ネットワーク関連の終了処理を行います ",
                                                             "ネットワーク関連の終了処理は完了しました"}));
    for (auto& peer : peers) EXPECT_TRUE(peer->seesClosed());
    EXPECT_EQ(Network.started, 0);
    EXPECT_EQ(Network.socketWindow, nullptr);
    for (NetworkConnection* slot : Network.slots) EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(DestroyWindow(window_), FALSE) << "the socket window was closed";
    EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET) << "the socket interface was cleaned up";
    EXPECT_EQ(EndNetwork(), 0);
}

// A connection accepted while the end closes the others (into a slot the end
// has passed) is closed too, not lost.
TEST_F(NetworkConnectionsTest, AConnectionAcceptedWhileEndingIsClosedToo) {
    std::unique_ptr<PosixPeer> first, second, late;
    const int firstHandle = Connect(first);
    ASSERT_GE(Connect(second), 0);
    ASSERT_EQ(CloseNetWork(firstHandle), 0);
    late = std::make_unique<PosixPeer>(port_);
    ASSERT_TRUE(WaitUntilWaiting(Network.slots[ListeningSlot]->socket, 0));
    EXPECT_EQ(EndNetwork(), 0);
    EXPECT_TRUE(late->seesClosed());
    // The fixture checks that no record was left behind.
}

TEST_F(NetworkConnectionsTest, TheNetworkLogLineIsBounded) {
    const size_t mark = LogText().size();
    const std::string longText(3000, 'x');
    WSAGetLastError();
    SetLastError(WSAECONNRESET);
    EXPECT_EQ(NetworkLogError("%s", longText.c_str()), -1);
    // The log's own formatting cuts the whole line at 1022 bytes, so the
    // error code of a text this long does not fit.
    const std::string prefix = "ネットワークログ。";
    EXPECT_EQ(LinesSince(mark), std::vector<std::string>{prefix + std::string(1022 - prefix.size(), 'x')});

    const size_t shortMark = LogText().size();
    SetLastError(WSAECONNRESET);
    EXPECT_EQ(NetworkLogError("%s", "short"), -1);
    EXPECT_EQ(LinesSince(shortMark), std::vector<std::string>{prefix + "short[10054]"});
}

}  // namespace
}  // namespace networktest
