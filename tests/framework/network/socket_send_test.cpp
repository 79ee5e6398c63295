// Sending framed messages to a real peer: the wire carries each message as
// its 4-byte little-endian length and its bytes, byte for byte, whatever
// state the send side was left in.
#include <thread>

#include "tests/framework/network/network_fixture.h"

namespace networktest {
namespace {

class SocketSendTest : public NetworkTest {};

struct SendCase {
    const char* name;
    int startPosition;     // where the ring's held bytes start (-1: a fresh ring)
    std::string inRing;    // what the ring holds
    int toGo;              // a message already under way: bytes still to send
    int headerLeft;        // ... and bytes of its header still to send
    std::string expected;  // what the peer receives
};

TEST_F(SocketSendTest, TheWireCarriesEachMessageFramed) {
    const std::string thirty = Pattern(30);
    const std::string twelve = "twelve bytes";
    const SendCase cases[] = {
        {"thirty bytes go as the header 30 and the bytes", -1, thirty, 0, 0, Frame(thirty)},
        {"bytes that wrap around the ring's end", 1040, thirty, 0, 0, Frame(thirty)},
        {"a header sent in part is finished first", -1, thirty, 30, 2, LittleEndian32(30).substr(2) + thirty},
        {"bytes added while a message is under way go as the next message", -1, thirty + twelve, 30, 0,
         thirty + Frame(twelve)},
    };
    for (const SendCase& each : cases) {
        SCOPED_TRACE(each.name);
        std::unique_ptr<PosixPeer> peer;
        const int handle = Connect(peer);
        ASSERT_GE(handle, 0);
        NetworkConnection* connection = FindNetworkConnection(handle);
        RingBuffer& ring = connection->sendRing;
        if (each.startPosition >= 0) {
            ASSERT_EQ(RingBufferReserve(50, &ring), 0);
            ASSERT_LT(each.startPosition, ring.capacity);
            ring.readPosition = ring.writePosition = each.startPosition;
        }
        PutBytes(ring, each.inRing);
        connection->sendToGo = each.toGo;
        connection->sendHeaderLeft = each.headerLeft;

        EXPECT_EQ(SendSocket(handle), 0);
        EXPECT_EQ(ring.held, 0);
        EXPECT_EQ(connection->sendToGo, 0);
        EXPECT_EQ(connection->sendHeaderLeft, 0);
        EXPECT_EQ(peer->receive(each.expected.size()), each.expected);
        EXPECT_EQ(peer->receive(1, 20), "") << "nothing more";
        EXPECT_EQ(CloseNetWork(handle), 0);
    }
}

// A message larger than the socket takes at once goes out in parts, the rest
// when the socket can take more.
TEST_F(SocketSendTest, AMessageTheSocketCannotTakeAtOnceGoesOnWhenItCan) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    const std::string data = Pattern(8 * 1024 * 1024);
    PutBytes(connection->sendRing, data);
    EXPECT_EQ(SendSocket(handle), 0);
    EXPECT_GT(connection->sendToGo, 0) << "the socket took all of it at once";
    EXPECT_EQ(connection->sendToGo, connection->sendRing.held);

    std::string received;
    std::thread reader([&] { received = peer->receive(data.size() + 4, 5000); });
    const bool allSent = PumpUntil([&] { return connection->sendRing.held == 0; });
    reader.join();
    EXPECT_TRUE(allSent);
    EXPECT_TRUE(received == Frame(data)) << "received " << received.size() << " bytes";
}

TEST_F(SocketSendTest, ASendErrorKeepsTheBytesForLater) {
    std::unique_ptr<PosixPeer> peer;
    const int handle = Connect(peer);
    ASSERT_GE(handle, 0);
    NetworkConnection* connection = FindNetworkConnection(handle);
    peer->reset();
    PumpUntil([&] { return connection->connected == 0; });
    PutBytes(connection->sendRing, "kept");
    EXPECT_EQ(SendSocket(handle), 0);
    EXPECT_EQ(connection->sendRing.held, 4);
    EXPECT_EQ(connection->sendToGo, 0);
}

}  // namespace
}  // namespace networktest
