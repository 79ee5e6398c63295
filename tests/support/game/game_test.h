// How game code is tested: the real framework started headless in a fresh
// folder (the software path unless a test asks for the OpenGL one), on the
// manual clock, which steps a fixed 16 ms (or 17) at every frame end, that
// is at every Manager::CFPSManager::Update. Keys and pad buttons are
// scripted per frame; sounds play on the virtual output for their real
// length in that virtual time (a play that waits for its sound pumps
// messages, and each look at the queue outside a frame end moves the clock
// 1 ms); message boxes go to a list; and every public graphic draw is seen
// with its picture, place, part, blend and brightness, frame by frame, in a
// form that does not depend on the renderer. A frame can also be captured
// as pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "framework/graphics/draws/draw_observer.h"
#include "platform/user/message_box_sink.h"
#include "tests/support/started_log_fixture.h"

namespace gametest {

enum class RenderPath { Software, OpenGL };
inline void PrintTo(RenderPath path, std::ostream* os) { *os << (path == RenderPath::OpenGL ? "OpenGL" : "Software"); }

// One public graphic draw as the game called it, with the draw settings in
// force at the call.
struct SeenDraw {
    std::string call;       // "DrawGraphicPart", "DrawRectShape", ...
    int handle = -1;
    std::string picture;    // the name of the file the graphic came from, without its folders; "" for none
    std::vector<int> points;  // the coordinates as called, truncated to int
    int source[4] = {0, 0, 0, 0};  // DrawGraphicPart's part
    double scale = 1.0;
    double angle = 0.0;
    int transFlag = 0;
    int turnFlag = 0;
    int colour = 0;
    int blendMode = 0;
    int blendParam = 0;
    int bright[3] = {255, 255, 255};
};

// "DrawGraphicPart now_loading.png 384,440 part 0,0,256,32 trans 0 blend 0/0 bright 255,255,255":
// the parts of a draw that a scene decides, in one line.
std::string Describe(const SeenDraw& draw);

class GameTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // InitFramework on the chosen path in window mode, with the frame pacing
    // off (the clock steps instead). The back buffer is the draw target.
    // False when the path cannot be had (no OpenGL context).
    bool StartFramework(RenderPath path = RenderPath::Software);

    // ---- frames ---------------------------------------------------------------
    // Frame n ends with the n-th CFPSManager::Update; its draws are those made
    // since the end of frame n - 1.
    int FramesEnded() const { return static_cast<int>(frames_.size()); }
    const std::vector<SeenDraw>& DrawsOfFrame(int frame) const { return frames_.at(static_cast<size_t>(frame - 1)); }
    // The draws of the frame still open (made since the last frame end).
    const std::vector<SeenDraw>& OpenFrameDraws() const { return openFrame_; }
    // 16 (the default) or 17 milliseconds per frame end.
    void SetFrameMilliseconds(int milliseconds) { frameMilliseconds_ = milliseconds; }
    // Runs `action` as frame `frame` ends, after its clock step and input.
    void AtFrame(int frame, std::function<void()> action) { actions_[frame].push_back(std::move(action)); }
    // Posts a quit message as frame `frame` ends, so that that frame's
    // CFPSManager::Update reports the end of the program.
    void QuitAtFrame(int frame) { AtFrame(frame, [] { PostQuitMessageForTest(); }); }
    // A scene that never ends fails the test: at this many frames (10000 by
    // default) a quit is posted and a failure recorded.
    void SetFrameLimit(int frames) { frameLimit_ = frames; }
    // The back buffer's pixels as 0x00RRGGBB, row by row (640 by 480 in the
    // game); empty when it cannot be read.
    std::vector<uint32_t> CaptureFrame(int* width = nullptr, int* height = nullptr);

    // ---- scripted input -------------------------------------------------------
    // The key (a virtual key) is down for the input updates of frames
    // first .. first + count - 1 and up otherwise.
    void HoldKey(int virtualKey, int firstFrame, int count = 1);
    // Pad 1's bits as ReadJoypadButtons gives them (0x1 down, 0x2 left, 0x4
    // right, 0x8 up, 0x10 << n button n + 1) for those frames; of two
    // opposite directions, up and left win.
    void HoldPad(int padBits, int firstFrame, int count = 1);

    // ---- sound ----------------------------------------------------------------
    // Milliseconds of virtual time mixed so far, and whether any mixed sample
    // since the last call was not silent.
    uint64_t MixedMilliseconds() const { return mixedMilliseconds_; }
    bool TakeAudibleMix();

    // ---- message boxes --------------------------------------------------------
    std::vector<platform::MessageBoxRecord> messageBoxes;

    // ---- files in the test folder (Windows-style relative names) ---------------
    void WriteFile(const std::string& relativePath, const std::string& bytes);
    // An opaque picture of one colour (0xRRGGBB).
    void WritePicture(const std::string& relativePath, int width, int height, uint32_t colour);
    // A 16-bit mono PCM wave of a 440 Hz tone at 22050 Hz.
    void WriteTone(const std::string& relativePath, int milliseconds);
    // The loading animation's sheet, 1024 by 512.
    void WriteLoadingSheet();

    // The loading drawer lives for the whole test program; its picture is
    // loaded again into the framework of this test.
    static void ReloadLoadingDrawer();

private:
    static void OnFrameHook(int phase);
    static void OnDraw(const ObservedGraphicDraw& draw);
    static void OnMessagePoll();

    static void PostQuitMessageForTest();
    void EndFrame();
    void ApplyInput(int frame);
    void StepClock(uint64_t milliseconds);
    void SyncSound();

    std::vector<std::vector<SeenDraw>> frames_;
    std::vector<SeenDraw> openFrame_;
    int frameMilliseconds_ = 16;
    bool insideFrameEnd_ = false;
    std::map<int, std::vector<std::function<void()>>> actions_;
    int frameLimit_ = 10000;
    std::map<int, std::set<int>> keysByFrame_;
    std::map<int, int> padByFrame_;
    std::set<int> keysDown_;
    int padDown_ = 0;
    uint64_t mixedMilliseconds_ = 0;
    uint64_t clockMilliseconds_ = 0;
    uint32_t mixRate_ = 0;
    uint64_t mixedFrames_ = 0;
    bool audible_ = false;
    std::string previousDataHome_;
    bool hadDataHome_ = false;
    bool started_ = false;
};

#ifdef BRACKENFOLD_RESOURCE_DIR
// The generated resource tree's folder as the framework spells an absolute
// path, for SetCurrentDirectoryA: the game opens "resource\..." relative to
// the folder it runs in.
inline std::string GeneratedTreeFolder() {
    std::string path = std::string("C:") + BRACKENFOLD_RESOURCE_DIR;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}
#endif

}  // namespace gametest
