// Private to platform/dsound: where the mix goes. One output is open while
// at least one sound object is initialised; the machine profile's sound part
// chooses which when it opens.
#pragma once

#include <memory>

#include "platform/dsound/mixer.h"

namespace platform::dsound {

// One kind of output. Open starts pulling the mix in the format (from the
// mixer's Render); Close stops, and no pull runs once it returns.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual bool Open(const OutputFormat& format) = 0;
    virtual void Close() = 0;
};

std::unique_ptr<SoundOutput> MakeDeviceOutput();
std::unique_ptr<SoundOutput> MakeNullOutput();
std::unique_ptr<SoundOutput> MakeVirtualOutput();

// An initialised sound object holds the output open from its Initialize to
// its end. The ticket ties the release to the opening, so that an object
// that outlives the machine's reset (which closes the output) releases
// nothing that a later object holds.
struct OutputTicket {
    uint64_t generation = 0;
};
OutputTicket HoldOutput();
void ReleaseOutput(const OutputTicket& ticket);

// The primary buffer's format, which the output plays in; setting it opens
// the output again in the new format.
OutputFormat CurrentOutputFormat();
void SetOutputFormat(const OutputFormat& format);

}  // namespace platform::dsound
