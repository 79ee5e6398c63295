// The fixture of the sound tests: a sound object on the virtual output, its
// primary format set, and helpers to make, fill and read buffers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/dsound/dsound.h"
#include "platform/dsound/virtual_output.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace soundtest {

constexpr DWORD kAllControls = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_GLOBALFOCUS;

inline WAVEFORMATEX PcmFormat(WORD bits, WORD channels, DWORD rate) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    return format;
}

inline LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class SoundTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().sound.output = platform::SoundOutputUse::Virtual;
        CoInitialize(nullptr);
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = "SoundTest";
        RegisterClassExA(&windowClass);
        window_ = CreateWindowExA(0, "SoundTest", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    }

    void TearDown() override {
        for (IDirectSoundBuffer* buffer : buffers_) buffer->Release();
        if (sound_ != nullptr) sound_->Release();
        CoUninitialize();
        PlatformTest::TearDown();
    }

    IDirectSound* MakeSound() {
        void* made = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &made), S_OK);
        return static_cast<IDirectSound*>(made);
    }

    // The sound object, initialised, with the primary buffer's format set
    // and released again, as the framework starts it.
    void Start(DWORD frequency = 44100, WORD channels = 2) {
        sound_ = MakeSound();
        ASSERT_NE(sound_, nullptr);
        ASSERT_EQ(sound_->Initialize(nullptr), DS_OK);
        ASSERT_EQ(sound_->SetCooperativeLevel(window_, DSSCL_PRIORITY), DS_OK);
        DSBUFFERDESC description{};
        description.dwSize = sizeof(description);
        description.dwFlags = DSBCAPS_PRIMARYBUFFER;
        IDirectSoundBuffer* primary = nullptr;
        ASSERT_EQ(sound_->CreateSoundBuffer(&description, &primary, nullptr), DS_OK);
        const WAVEFORMATEX format = PcmFormat(16, channels, frequency);
        ASSERT_EQ(primary->SetFormat(&format), DS_OK);
        primary->Release();
    }

    HRESULT TryMake(WORD bits, WORD channels, DWORD rate, DWORD bytes, DWORD flags, IDirectSoundBuffer** buffer) {
        WAVEFORMATEX format = PcmFormat(bits, channels, rate);
        DSBUFFERDESC description{};
        description.dwSize = sizeof(description);
        description.dwFlags = flags;
        description.dwBufferBytes = bytes;
        description.lpwfxFormat = &format;
        const HRESULT result = sound_->CreateSoundBuffer(&description, buffer, nullptr);
        if (*buffer != nullptr) buffers_.push_back(*buffer);
        return result;
    }

    IDirectSoundBuffer* Make(WORD bits, WORD channels, DWORD rate, DWORD bytes, DWORD flags = kAllControls) {
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(TryMake(bits, channels, rate, bytes, flags, &buffer), DS_OK);
        return buffer;
    }

    // A 16-bit buffer holding `samples` (interleaved).
    IDirectSoundBuffer* Make16(WORD channels, DWORD rate, const std::vector<int16_t>& samples,
                               DWORD flags = kAllControls) {
        IDirectSoundBuffer* buffer = Make(16, channels, rate, static_cast<DWORD>(samples.size() * 2), flags);
        Write(buffer, samples.data(), samples.size() * 2);
        return buffer;
    }

    IDirectSoundBuffer* Duplicate(IDirectSoundBuffer* original) {
        IDirectSoundBuffer* duplicate = nullptr;
        EXPECT_EQ(sound_->DuplicateSoundBuffer(original, &duplicate), DS_OK);
        if (duplicate != nullptr) buffers_.push_back(duplicate);
        return duplicate;
    }

    static void Write(IDirectSoundBuffer* buffer, const void* bytes, size_t size, DWORD offset = 0) {
        void* part1 = nullptr;
        void* part2 = nullptr;
        DWORD size1 = 0;
        DWORD size2 = 0;
        ASSERT_EQ(buffer->Lock(offset, static_cast<DWORD>(size), &part1, &size1, &part2, &size2, 0), DS_OK);
        std::memcpy(part1, bytes, size1);
        if (part2 != nullptr) std::memcpy(part2, static_cast<const uint8_t*>(bytes) + size1, size2);
        ASSERT_EQ(buffer->Unlock(part1, size1, part2, size2), DS_OK);
    }

    // Mixes `frames` frames and returns them.
    static std::vector<int16_t> Mix(uint32_t frames) {
        EXPECT_TRUE(platform::dsound::AdvanceVirtualOutput(frames));
        return platform::dsound::TakeVirtualOutput().samples;
    }

    static DWORD Cursor(IDirectSoundBuffer* buffer) {
        DWORD play = 0xFFFFFFFFu;
        EXPECT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
        return play;
    }

    static DWORD Status(IDirectSoundBuffer* buffer) {
        DWORD status = 0xFFFFFFFFu;
        EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
        return status;
    }

    HWND window_ = nullptr;
    IDirectSound* sound_ = nullptr;
    std::vector<IDirectSoundBuffer*> buffers_;
};

// A ramp of `frames` stereo frames, left rising and right falling.
inline std::vector<int16_t> StereoRamp(int frames) {
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        samples.push_back(static_cast<int16_t>(i * 7 - 1000));
        samples.push_back(static_cast<int16_t>(500 - i * 3));
    }
    return samples;
}

}  // namespace soundtest
