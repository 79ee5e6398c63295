// The record behind a stream handle and the list of open streams. Private
// to platform/acm.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/acm/decoder.h"
#include "platform/acm/source_formats.h"

namespace platform::acm {

struct AcmStream {
    SourceFormat source;
    WAVEFORMATEX output;
    Decoder decoder;
    std::vector<int16_t> decoded;  // scratch for one decoder call
};

// The open stream behind a handle, or null for a handle that is none (never
// opened, or closed).
AcmStream* FindStream(HACMSTREAM handle);

// Takes one from an injected failure count; true when the call is to fail.
bool TakeInjectedFailure(uint32_t& count);

// Where a prepared header keeps the lengths it was prepared with.
constexpr int kPreparedSourceLength = 0;
constexpr int kPreparedDestinationLength = 1;

}  // namespace platform::acm
