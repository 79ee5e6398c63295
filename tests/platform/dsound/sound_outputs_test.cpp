// The outputs with threads of their own: SDL2's device under its dummy
// driver and the null output consume the mix as time passes, while the
// main thread, a stream-like thread and the output's thread use the buffers
// at once.
#include <atomic>
#include <functional>
#include <thread>

#include "platform/host/host_audio.h"
#include "tests/platform/dsound/sound_fixture.h"

namespace {

// Waits for the condition, polling, for at most a generous time.
bool WaitFor(const std::function<bool()>& condition) {
    for (int waited = 0; waited < 30000; ++waited) {
        if (condition()) return true;
        Sleep(1);
    }
    return condition();
}

class SoundOutputTest : public soundtest::SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        platform::StopHostAudio();
    }
    void TearDown() override {
        SoundTest::TearDown();
        platform::StopHostAudio();
    }

    // A short sound played once ends by itself, and a looping one moves on.
    void ExpectTheMixToBeConsumed() {
        IDirectSoundBuffer* once = Make(16, 2, 44100, 4 * 441);  // 10 ms
        IDirectSoundBuffer* looping = Make(16, 2, 44100, 4 * 44100);
        ASSERT_EQ(looping->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
        ASSERT_EQ(once->Play(0, 0, 0), DS_OK);
        EXPECT_TRUE(WaitFor([&] { return Status(once) == 0; }));
        EXPECT_TRUE(WaitFor([&] { return Cursor(looping) > 4 * 441; }));
    }
};

TEST_F(SoundOutputTest, SdlsDeviceOpensOnTheDummyDriverAndConsumesTheMix) {
    platform::Profile().sound.output = platform::SoundOutputUse::Device;
    Start();
    // The device is ours: a second opening is refused.
    EXPECT_FALSE(platform::HostAudio().Open(platform::AudioFormat{}, [](int16_t*, int) {}));
    ExpectTheMixToBeConsumed();
    // With the last sound object the device closes.
    sound_->Release();
    sound_ = nullptr;
    platform::AudioAdapter& audio = platform::HostAudio();
    EXPECT_TRUE(audio.Open(platform::AudioFormat{}, [](int16_t* samples, int frames) {
        std::fill(samples, samples + 2 * frames, int16_t{0});
    }));
    audio.Close();
}

TEST_F(SoundOutputTest, TheNullOutputConsumesTheMixAsTimePasses) {
    platform::Profile().sound.output = platform::SoundOutputUse::Null;
    Start();
    ExpectTheMixToBeConsumed();
}

TEST_F(SoundOutputTest, BuffersMayBeUsedFromSeveralThreadsWhileTheOutputMixes) {
    platform::Profile().sound.output = platform::SoundOutputUse::Null;
    Start();
    IDirectSoundBuffer* ring = Make(16, 2, 44100, 4 * 4410);
    ASSERT_EQ(ring->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::atomic<bool> stop{false};
    // Like a stream thread: refill ahead of the cursor and follow it.
    std::thread refill([&] {
        std::vector<int16_t> block(2 * 441, 100);
        while (!stop) {
            DWORD cursor = 0;
            ring->GetCurrentPosition(&cursor, nullptr);
            void* part1 = nullptr;
            void* part2 = nullptr;
            DWORD size1 = 0;
            DWORD size2 = 0;
            const DWORD ahead = (cursor + 4 * 2205) % (4 * 4410);
            if (ring->Lock(ahead, 4 * 441, &part1, &size1, &part2, &size2, 0) == DS_OK) {
                std::memcpy(part1, block.data(), size1);
                if (part2 != nullptr) std::memcpy(part2, block.data(), size2);
                ring->Unlock(part1, size1, part2, size2);
            }
            ring->SetVolume(-100);
            Sleep(1);
        }
    });
    const std::vector<int16_t> samples(2 * 441, -50);
    for (int round = 0; round < 200; ++round) {
        IDirectSoundBuffer* effect = Make16(2, 22050, samples);
        IDirectSoundBuffer* copy = Duplicate(effect);
        effect->SetFrequency(11025 + round);
        copy->SetPan(round * 10);
        effect->Play(0, 0, 0);
        copy->Play(0, 0, round % 2 != 0 ? DSBPLAY_LOOPING : 0);
        Status(effect);
        copy->Stop();
        if (round % 10 == 0) Sleep(1);
    }
    const DWORD before = Cursor(ring);
    EXPECT_TRUE(WaitFor([&] { return Cursor(ring) != before; }));
    stop = true;
    refill.join();
}

}  // namespace
