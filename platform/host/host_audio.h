// The host adapter's audio part: one output device, which calls back for
// each period of sound to play.
//
// One adapter is in force at a time, chosen at its first use: SDL2's when
// its audio subsystem starts, else the null one, which has no device (its
// user then plays into a sink of its own that keeps time). Only platform
// code includes this header; it includes no SDL2 header.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Signed 16-bit samples in the machine's byte order, channels interleaved.
struct AudioFormat {
    int frequency = 44100;
    int channels = 2;
    int framesPerPeriod = 1024;
};

// Fills `frames` frames. Called on the device's own thread.
using AudioCallback = std::function<void(int16_t* samples, int frames)>;

class AudioAdapter {
public:
    virtual ~AudioAdapter() = default;

    // Opens the device in exactly that format and starts calling back;
    // false when there is no device or one is open already.
    virtual bool Open(const AudioFormat& format, AudioCallback callback) = 0;
    // Stops the calls (none runs once this returns) and closes the device.
    virtual void Close() = 0;
};

// The adapter in force; the first call after a stop chooses it.
AudioAdapter& HostAudio();
// Closes the device of the adapter in force and ends it, so that the next
// use chooses afresh.
void StopHostAudio();

}  // namespace platform
