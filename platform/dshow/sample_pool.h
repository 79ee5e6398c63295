// A pool of media samples in memory of its own, for the platform's filters
// when the pin they deliver to has no allocator to offer. Private to
// platform/dshow.
#pragma once

#include "platform/dshow/dshow.h"

namespace platform::dshow {

// A new pool with one reference.
HRESULT CreateSamplePool(IMemAllocator** allocator);

}  // namespace platform::dshow
