// The byte rings of a connection: a block from the tracked allocator that
// grows, keeping the held bytes in order, only when the next message does not
// fit.
#include <cstdint>
#include <cstring>

#include "framework/base/log.h"
#include "framework/network/sockets_state.h"
#include "framework/base/tracked_memory.h"

namespace {

// Room grows by what is needed and this much more at once.
constexpr int64_t RingGrowthSlack = 1000;

}  // namespace

void RingBufferFixPositions(RingBuffer* ring) {
    if (ring->readPosition == ring->capacity) ring->readPosition = 0;
    if (ring->writePosition == ring->capacity) ring->writePosition = 0;
}

int RingBufferReserve(int count, RingBuffer* ring) {
    RingBufferFixPositions(ring);
    const int64_t needed = static_cast<int64_t>(ring->held) + count;
    if (needed <= ring->capacity) return 0;

    // Positions and counts are ints: a capacity past their range is refused
    // as the allocator would refuse it.
    const int64_t newCapacity = needed + RingGrowthSlack;
    uint8_t* block = newCapacity > INT32_MAX
                         ? nullptr
                         : static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(newCapacity), __FILE__, __LINE__));
    if (block == nullptr) {
        RingBufferRelease(ring);
        return WriteLogFormat("リングバッファの再確保に失敗しました(確保しようとしたサイズ %d byte)",
                              static_cast<int>(newCapacity > INT32_MAX ? INT32_MAX : newCapacity));
    }

    if (ring->held > 0) {
        if (ring->readPosition + ring->held > ring->capacity) {
            const int tail = ring->capacity - ring->readPosition;
            std::memcpy(block, ring->data + ring->readPosition, static_cast<size_t>(tail));
            std::memcpy(block + tail, ring->data, static_cast<size_t>(ring->held - tail));
        } else {
            std::memcpy(block, ring->data + ring->readPosition, static_cast<size_t>(ring->held));
        }
    }
    FreeMemory(ring->data);
    ring->data = block;
    ring->capacity = static_cast<int>(newCapacity);
    ring->readPosition = 0;
    ring->writePosition = ring->held;
    return 0;
}

int RingBufferRelease(RingBuffer* ring) {
    FreeMemory(ring->data);
    *ring = RingBuffer{};
    return 0;
}
