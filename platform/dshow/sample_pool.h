// A pool of media samples in memory of its own, for the platform's filters
// when the pin they deliver to has no allocator to offer. Private to
// platform/dshow.
#pragma once

#include "platform/dshow/dshow.h"

namespace platform::dshow {

// A new pool with one reference.
HRESULT CreateSamplePool(IMemAllocator** allocator);

// The allocator an output pin delivers through: the peer's own when it takes
// `wanted` and gives buffers of at least `leastBuffer` bytes, else a new pool
// of ours; either way the peer is told. *allocator gets one reference.
HRESULT SettleAllocator(IMemInputPin* peer, ALLOCATOR_PROPERTIES wanted, LONG leastBuffer, IMemAllocator** allocator);

}  // namespace platform::dshow
