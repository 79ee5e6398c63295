// The game headless: the real framework started without a display (the
// software path unless asked for the OpenGL one), on the manual clock, which
// steps a fixed 16 ms (or 17) at every frame end, that is at every
// Manager::CFPSManager::Update. Keys and pad buttons are scripted per frame;
// sounds play on the virtual output for their real length in that virtual
// time (a play that waits for its sound pumps messages, and each look at the
// queue outside a frame end moves the clock 1 ms); message boxes go to a
// list; and every public graphic draw is seen with its picture, place, part,
// blend and brightness, frame by frame, in a form that does not depend on
// the renderer. A frame can also be captured as pixels.
//
// The game's test fixture (GameTest) and the benchmarks share it; it needs
// no test framework.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "framework/graphics/draws/draw_observer.h"
#include "platform/user/message_box_sink.h"

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

// One headless run of the game. Only one runs at a time: it holds the
// framework's and the game's seams from BeginHeadless to EndHeadless.
class HeadlessGame {
public:
    HeadlessGame() = default;
    virtual ~HeadlessGame() = default;
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    // Sets the machine up for the game (no display, a 1280 by 1024 desktop
    // of 32 bits, the virtual sound output and one virtual pad of 24
    // buttons), keeps the per-user data and the window-class locks in
    // `hostFolder`, and takes the frame hook, the draw observer, the message
    // boxes and the message polls. The machine must have been reset, on the
    // manual clock, with `hostFolder` the current directory and the log
    // started there (the test fixture does that; HeadlessFolder for a
    // program without one).
    void BeginHeadless(const std::string& hostFolder);
    // Lets go of the scripted keys, releases the game's resources, ends the
    // framework if it started, and gives every seam back.
    void EndHeadless();

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
    // Whether the draws are kept (the default). Without, each frame's draws
    // are only counted, and DrawsOfFrame is empty.
    void SetRecordDraws(bool record) { recordDraws_ = record; }
    // The picture draws (those of a graphic) of the last frame that ended,
    // kept or not.
    int PictureDrawsOfLastFrame() const { return lastFramePictureDraws_; }
    // 16 (the default) or 17 milliseconds per frame end.
    void SetFrameMilliseconds(int milliseconds) { frameMilliseconds_ = milliseconds; }
    // Runs `action` as frame `frame` ends, after its clock step and input.
    void AtFrame(int frame, std::function<void()> action) { actions_[frame].push_back(std::move(action)); }
    // Posts a quit message as frame `frame` ends, so that that frame's
    // CFPSManager::Update reports the end of the program.
    void QuitAtFrame(int frame);
    // A run that never ends: at this many frames (10000 by default) a quit is
    // posted and FrameLimitReached called.
    void SetFrameLimit(int frames) { frameLimit_ = frames; }
    // Called as every frame ends, after its clock step, its input and its
    // AtFrame actions, with the number of the frame.
    std::function<void(int frame)> atFrameEnd;
    // Called as every frame end returns to the scene (CFPSManager::Update's
    // end), with the number of the frame.
    std::function<void(int frame)> afterFrameEnd;
    // Called as this harness's own work at a frame end begins (before the
    // clock step) and as it ends (after atFrameEnd): what lies between is not
    // the game's work.
    std::function<void()> frameEndWorkBegins;
    std::function<void()> frameEndWorkEnds;
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
    // Each box shown, answered yes (a yes/no box) or OK.
    std::vector<platform::MessageBoxRecord> messageBoxes;

    // The loading drawer lives for the whole program; its picture is loaded
    // again into the framework of this run.
    static void ReloadLoadingDrawer();

protected:
    // The frame limit was reached at frame `frame` (a quit is posted).
    virtual void FrameLimitReached(int frame) {}

private:
    static void OnFrameHook(int phase);
    static void OnDraw(const ObservedGraphicDraw& draw);
    static void OnMessagePoll();

    void EndFrame();
    void ApplyInput(int frame);
    void StepClock(uint64_t milliseconds);
    void SyncSound();

    std::vector<std::vector<SeenDraw>> frames_;
    std::vector<SeenDraw> openFrame_;
    bool recordDraws_ = true;
    int openFramePictureDraws_ = 0;
    int lastFramePictureDraws_ = 0;
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
    bool began_ = false;
    bool frameworkStarted_ = false;
};

// What the test fixture gives a GameTest, for a program without one: the
// machine reset, on the manual clock, in a fresh temporary folder that is
// the current directory and the start directory, with the log started
// there.
class HeadlessFolder {
public:
    HeadlessFolder() = default;
    ~HeadlessFolder() { Leave(); }
    HeadlessFolder(const HeadlessFolder&) = delete;
    HeadlessFolder& operator=(const HeadlessFolder&) = delete;

    // False, with the reason, when the folder cannot be made or entered.
    bool Enter(std::string* why);
    // Back to the directory before, the machine reset, the folder removed.
    void Leave();
    const std::string& hostPath() const { return hostPath_; }

private:
    std::string hostPath_;
    std::string previousDirectory_;
};

}  // namespace gametest
