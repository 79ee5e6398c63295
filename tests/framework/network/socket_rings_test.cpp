// The byte rings: growth keeps the held bytes in order, wrapped or not, and
// only happens when the next bytes do not fit.
#include <gtest/gtest.h>

#include <string>

#include "framework/network/sockets_state.h"
#include "tests/support/test_support.h"

namespace {

class SocketRingsTest : public testsupport::PlatformTest {};

std::string Held(const RingBuffer& ring) {
    std::string bytes;
    for (int i = 0; i < ring.held; ++i)
        bytes.push_back(static_cast<char>(ring.data[(ring.readPosition + i) % ring.capacity]));
    return bytes;
}

TEST_F(SocketRingsTest, GrowingKeepsTheHeldBytesInOrder) {
    struct Case {
        const char* name;
        int readPosition;  // in a ring of capacity 1010 holding "0123456789"
    };
    const Case cases[] = {{"held in one piece", 100}, {"held across the end", 1005}, {"held up to the end", 1000}};
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        RingBuffer ring{};
        ASSERT_EQ(RingBufferReserve(10, &ring), 0);
        ASSERT_EQ(ring.capacity, 1010);
        ring.readPosition = each.readPosition;
        for (int i = 0; i < 10; ++i) ring.data[(each.readPosition + i) % ring.capacity] = static_cast<uint8_t>('0' + i);
        ring.held = 10;
        ring.writePosition = (each.readPosition + 10) % ring.capacity;

        EXPECT_EQ(RingBufferReserve(1000, &ring), 0) << "fits beside the held bytes";
        EXPECT_EQ(ring.capacity, 1010);
        EXPECT_EQ(RingBufferReserve(1001, &ring), 0);
        EXPECT_EQ(ring.capacity, 10 + 1001 + 1000);
        EXPECT_EQ(ring.readPosition, 0);
        EXPECT_EQ(ring.writePosition, 10);
        EXPECT_EQ(Held(ring), "0123456789");
        EXPECT_EQ(RingBufferRelease(&ring), 0);
        EXPECT_EQ(ring.data, nullptr);
        EXPECT_EQ(ring.capacity, 0);
    }
}

TEST_F(SocketRingsTest, PositionsAtTheEndMoveToTheStart) {
    RingBuffer ring{nullptr, 50, 50, 0, 50};
    RingBufferFixPositions(&ring);
    EXPECT_EQ(ring.readPosition, 0);
    EXPECT_EQ(ring.writePosition, 0);
}

// Sizes are ints: a ring that would pass their range is refused as a failed
// allocation, not wrapped into a small block.
TEST_F(SocketRingsTest, ARingPastTheIntRangeIsRefused) {
    // As if that much were held; the block itself is never touched.
    RingBuffer ring{nullptr, 0, 0, 0x7FFFFFF0, 0x7FFFFFF0};
    EXPECT_EQ(RingBufferReserve(MaxNetworkMessageLength, &ring), -1);
    EXPECT_EQ(ring.held, 0);
    EXPECT_EQ(ring.capacity, 0);
}

}  // namespace
