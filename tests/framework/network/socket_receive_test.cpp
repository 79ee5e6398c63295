// Receiving framed messages from a real peer: however the peer's sends cut
// the stream, each message is begun only once its whole length has come,
// lands in the receive ring in order and is counted once, when complete.
#include "platform/profile/machine_profile.h"
#include "tests/framework/network/network_fixture.h"

namespace networktest {
namespace {

struct AfterSend {
    std::string bytes;  // what the peer sends
    int held;           // then: bytes in the receive ring
    int missing;        // bytes of the message under way still to come
    int complete;       // bytes of the messages received completely
};

struct ReceiveCase {
    const char* name;
    std::vector<AfterSend> steps;
    std::string received;  // the ring's bytes at the end
    int capacity;          // the ring's capacity at the end
};

const std::string kTen = "0123456789";
const std::string kLarge = std::string(300000, 'L');

std::vector<ReceiveCase> Cases() {
    const std::string header = LittleEndian32(10);
    const std::string tenFrame = Frame(kTen);
    return {
        {"a message split across several sends",
         {{tenFrame.substr(0, 7), 3, 7, 0}, {tenFrame.substr(7, 4), 7, 3, 0}, {tenFrame.substr(11), 10, 0, 10}},
         kTen,
         1010},
        {"a length header split in two is not begun until whole",
         {{header.substr(0, 2), 0, 0, 0}, {header.substr(2) + "0123", 4, 6, 0}, {"456789", 10, 0, 10}},
         kTen,
         1010},
        {"several messages in one send, an empty one among them",
         {{Frame("one") + Frame("") + Frame("three"), 8, 0, 8}},
         "onethree",
         1003},
        {"a large message grows the ring",
         {{Frame(kLarge), 300000, 0, 300000}},
         kLarge,
         301000},
        {"a message that does not fit beside the held ones grows the ring around them",
         {{Frame(std::string(100, 'a')) + Frame(std::string(5000, 'b')), 5100, 0, 5100}},
         std::string(100, 'a') + std::string(5000, 'b'),
         6100},
    };
}

class SocketReceiveTest : public NetworkTest {};

TEST_F(SocketReceiveTest, FramesAreReassembledHoweverTheyArrive) {
    for (const ReceiveCase& each : Cases()) {
        SCOPED_TRACE(each.name);
        std::unique_ptr<PosixPeer> peer;
        const int handle = Connect(peer);
        ASSERT_GE(handle, 0);
        NetworkConnection* connection = FindNetworkConnection(handle);
        for (size_t step = 0; step < each.steps.size(); ++step) {
            SCOPED_TRACE(step);
            peer->sendBytes(each.steps[step].bytes);
            PumpUntilSettled(connection);
            EXPECT_EQ(connection->receiveRing.held, each.steps[step].held);
            EXPECT_EQ(connection->receiveMissing, each.steps[step].missing);
            EXPECT_EQ(connection->receiveComplete, each.steps[step].complete);
        }
        EXPECT_TRUE(HeldBytes(connection->receiveRing) == each.received);
        EXPECT_EQ(connection->receiveRing.capacity, each.capacity);
        EXPECT_EQ(connection->error, 0);
        EXPECT_EQ(CloseNetWork(handle), 0);
    }
}

TEST_F(SocketReceiveTest, AMessageWrapsAroundTheRingsEnd) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    RingBuffer& ring = connection->receiveRing;
    ASSERT_EQ(RingBufferReserve(50, &ring), 0);
    ring.readPosition = ring.writePosition = ring.capacity - 10;

    const std::string data = Pattern(30);
    peer->sendBytes(Frame(data));
    PumpUntilSettled(connection);
    EXPECT_EQ(ring.writePosition, 20);
    EXPECT_EQ(HeldBytes(ring), data);
    EXPECT_EQ(connection->receiveComplete, 30);
}

TEST_F(SocketReceiveTest, ThePeerClosingEndsTheConnectionButKeepsWhatCame) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    EXPECT_EQ(connection->connected, 1);
    peer->sendBytes(Frame("last words"));
    peer->close();
    ASSERT_TRUE(PumpUntil([&] { return connection->connected == 0; }));
    EXPECT_EQ(HeldBytes(connection->receiveRing), "last words");
    EXPECT_EQ(connection->pendingMark, 0);
    // An accepted connection carries no pending mark, so the pump leaves it
    // to its owner.
    PumpUntilSettled(connection);
    EXPECT_EQ(FindNetworkConnection(handle), connection);
    EXPECT_EQ(CloseNetWork(handle), 0);
    EXPECT_EQ(FindNetworkConnection(handle), nullptr);
}

// A length the layer will not take is refused before anything is reserved or
// read for it; the pump then closes the connection.
TEST_F(SocketReceiveTest, ALengthOutsideTheLimitIsRefusedAndTheConnectionClosed) {
    const uint32_t lengths[] = {0xFFFFFFFFu, 16u * 1024 * 1024 + 1, 0x7FFFFFFFu};
    for (uint32_t length : lengths) {
        SCOPED_TRACE(length);
        std::unique_ptr<PosixPeer> peer;
        const int handle = Connect(peer);
        ASSERT_GE(handle, 0);
        NetworkConnection* connection = FindNetworkConnection(handle);
        const int blocks = LiveTrackedBlocks();
        const size_t mark = LogText().size();

        // Driven by hand first, so that the refusal is seen before the pump
        // closes the connection.
        peer->sendBytes(LittleEndian32(length) + "data");
        int result = 0;
        for (int pass = 0; pass < 2000 && result == 0; ++pass) {
            result = RecvSocket(handle);
            if (result == 0) Sleep(1);
        }
        EXPECT_EQ(result, -1);
        EXPECT_EQ(connection->error, 1);
        EXPECT_EQ(connection->receiveMissing, 0);
        EXPECT_EQ(connection->receiveRing.capacity, 0);
        char expected[128];
        std::snprintf(expected, sizeof(expected), "受信データのサイズが不正です(データサイズ %d byte)",
                      static_cast<int>(length));
        EXPECT_EQ(LinesSince(mark), std::vector<std::string>{expected});
        EXPECT_EQ(LiveTrackedBlocks(), blocks);

        EXPECT_EQ(RecvSocket(handle), -1);
        ASSERT_TRUE(PumpUntil([&] { return FindNetworkConnection(handle) == nullptr; }));
        EXPECT_TRUE(peer->seesClosed());
    }
}

TEST_F(SocketReceiveTest, ALengthAtTheLimitIsTaken) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    peer->sendBytes(LittleEndian32(MaxNetworkMessageLength));
    ASSERT_TRUE(PumpUntil([&] { return connection->receiveMissing != 0; }));
    EXPECT_EQ(connection->receiveMissing, MaxNetworkMessageLength);
    EXPECT_EQ(connection->receiveRing.capacity, MaxNetworkMessageLength + 1000);
    EXPECT_EQ(connection->error, 0);
}

// RecvSocket pumps the socket window; a RecvSocket reached from there is
// turned away without touching the ring that the outer one is filling.
TEST_F(SocketReceiveTest, ANestedReceiveIsTurnedAway) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    peer->sendBytes(Frame("first"));
    PumpUntilSettled(connection);
    peer->sendBytes(Frame("second"));

    int nestedResult = 0;
    std::string heldInside;
    WhileDispatching = [&] {
        heldInside = HeldBytes(connection->receiveRing);
        nestedResult = RecvSocket(handle);
        EXPECT_EQ(HeldBytes(connection->receiveRing), heldInside);
    };
    PostMessageA(window_, WM_USER + 1, 0, 0);
    ASSERT_TRUE(WaitUntilWaiting(connection->socket, static_cast<int>(Frame("second").size())));
    EXPECT_EQ(RecvSocket(handle), 0);
    EXPECT_EQ(nestedResult, -1);
    EXPECT_EQ(heldInside, "first");
    PumpUntilSettled(connection);
    EXPECT_EQ(HeldBytes(connection->receiveRing), "firstsecond");
}

}  // namespace
}  // namespace networktest

namespace networktest {
namespace {

// A receive ring that cannot grow loses what it held and fails the
// connection, which the pump then closes.
TEST_F(NetworkTest, AReceiveRingThatCannotGrowFailsTheConnection) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    peer->sendBytes(Frame("kept"));
    PumpUntilSettled(connection);
    ASSERT_EQ(connection->receiveRing.held, 4);

    const size_t mark = LogText().size();
    peer->sendBytes(Frame(std::string(5000, 'x')));
    ASSERT_TRUE(WaitUntilWaiting(connection->socket, 5004));
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(RecvSocket(handle), -1);
    platform::Profile().failures.heap.failAllocationNumber = 0;
    EXPECT_EQ(connection->error, 1);
    EXPECT_EQ(connection->receiveRing.data, nullptr);
    EXPECT_EQ(connection->receiveRing.held, 0);
    EXPECT_EQ(connection->receiveRing.capacity, 0);
    // The allocator writes its own report of the refusal first.
    const std::vector<std::string> lines = LinesSince(mark);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
              (std::vector<std::string>{"リングバッファの再確保に失敗しました(確保しようとしたサイズ 6004 byte)",
                                        "受信データを保存するリングバッファのリサイズに失敗しました(データサイズ 5000 byte)"}));
    ASSERT_TRUE(PumpUntil([&] { return FindNetworkConnection(handle) == nullptr; }));
}

}  // namespace
}  // namespace networktest
