// SDL2's audio adapter under the dummy audio driver: one device at a time,
// called back for whole periods in the format asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "platform/host/host_audio.h"
#include "platform/kernel/kernel.h"

namespace {

class SdlAudioTest : public ::testing::Test {
protected:
    void SetUp() override { platform::StopHostAudio(); }
    void TearDown() override { platform::StopHostAudio(); }
};

TEST_F(SdlAudioTest, TheDeviceCallsBackForWholePeriodsUntilClosed) {
    platform::AudioAdapter& audio = platform::HostAudio();
    HANDLE called = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> frames{0};
    const platform::AudioFormat format{22050, 2, 512};
    auto fill = [&](int16_t* samples, int count) {
        std::fill(samples, samples + count * 2, int16_t{0});
        frames = count;
        SetEvent(called);
    };
    ASSERT_TRUE(audio.Open(format, fill));
    EXPECT_FALSE(audio.Open(format, fill));  // one device at a time
    ASSERT_EQ(WaitForSingleObject(called, 30000), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(called, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(frames, 512);
    audio.Close();
    // Closed, the device can be opened again.
    ASSERT_TRUE(audio.Open(format, fill));
    audio.Close();
    CloseHandle(called);
}

}  // namespace
