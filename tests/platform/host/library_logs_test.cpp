// The host libraries' complaints stay off the terminal once the program has
// started: an unknown ALSA device (said once however often asked for) and
// FFmpeg's errors reach the debug output instead, and FFmpeg's lesser
// messages go nowhere.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "platform/kernel/debug_output_sink.h"
#include "platform/entry/program_entry.h"
#include "tests/support/test_support.h"

namespace {

class LibraryLogsTest : public testsupport::PlatformTest {};

int WINAPI ComplainingProgram(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Asked twice, as a search for sound cards asks every few seconds.
    for (int time = 0; time < 2; ++time) {
        snd_pcm_t* device = nullptr;
        if (snd_pcm_open(&device, "kiln_no_such_device", SND_PCM_STREAM_PLAYBACK, 0) == 0) snd_pcm_close(device);
    }
    av_log(nullptr, AV_LOG_ERROR, "Invalid PNG signature 0x%X.\n", 0x89504E47u);
    av_log(nullptr, AV_LOG_WARNING, "a warning of no consequence\n");
    return 7;
}

TEST_F(LibraryLogsTest, TheLibrariesComplaintsGoToTheDebugOutputNotTheTerminal) {
    char name[] = "game";
    char* arguments[] = {name, nullptr};
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::RunWinMain(1, arguments, ComplainingProgram), 7);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const std::string debug = platform::DebugOutputText();
    EXPECT_NE(debug.find("ALSA: "), std::string::npos) << debug;
    const size_t said = debug.find("kiln_no_such_device");
    EXPECT_NE(said, std::string::npos) << debug;
    EXPECT_EQ(debug.find("kiln_no_such_device", said + 1), std::string::npos) << "said once: " << debug;
    EXPECT_NE(debug.find("FFmpeg: Invalid PNG signature 0x89504E47.\n"), std::string::npos) << debug;
    EXPECT_EQ(debug.find("no consequence"), std::string::npos) << debug;
}

}  // namespace
