#include "tests/support/game/headless_game.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "framework/graphics/screen/back_buffer_access.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draws/draw_observer.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_source_file.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/screen/screen_mode_change.h"
#include "framework/startup/framework_startup.h"
#include "framework/window/main_window.h"
#include "framework/window/main_window_state.h"
#include "framework/window/window_mode.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "platform/host/virtual_pads.h"
#include "platform/dsound/virtual_output.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/message_pollers.h"
#include "platform/user/user.h"

namespace gametest {
namespace {

HeadlessGame* Current = nullptr;
std::thread::id RunThread;

constexpr int kPadAxisX = 0;
constexpr int kPadAxisY = 1;

std::string LastComponent(const char* path) {
    std::string text = path;
    const size_t cut = text.find_last_of("\\/");
    return cut == std::string::npos ? text : text.substr(cut + 1);
}

void ResetFrameworkSide() {
    TermGraphicsSystem();
    MainWindow.settings = MainWindowSettings{};
    ResetMainWindowState();
    RequestedScreenMode = ScreenModeRequest{0, 0, 0, 0};
    SoftwareRenderOnlyFlag = 0;
    WindowsVersionCode = 0;
}

// The input manager as it starts: a counter at 0 for every button of its
// key table, nothing held.
void ForgetHeldButtons() {
    Manager::CInputManager* input = Manager::CInputManager::GetInstance();
    input->heldFrames.clear();
    for (const Manager::CInputManager::KeyPair& pair : input->keyboard) input->heldFrames[pair.button] = 0;
    input->heldButtons = 0;
    input->previousButtons = 0;
}

void PostQuit() { PostQuitMessage(0); }

}  // namespace

std::string Describe(const SeenDraw& draw) {
    std::string text = draw.call;
    text += ' ';
    text += draw.picture.empty() ? std::string("-") : draw.picture;
    for (size_t i = 0; i < draw.points.size(); i += 2)
        text += ' ' + std::to_string(draw.points[i]) + ',' + std::to_string(draw.points[i + 1]);
    if (draw.call == "DrawGraphicPart")
        text += " part " + std::to_string(draw.source[0]) + ',' + std::to_string(draw.source[1]) + ',' +
                std::to_string(draw.source[2]) + ',' + std::to_string(draw.source[3]);
    text += " trans " + std::to_string(draw.transFlag);
    text += " blend " + std::to_string(draw.blendMode) + '/' + std::to_string(draw.blendParam);
    text += " bright " + std::to_string(draw.bright[0]) + ',' + std::to_string(draw.bright[1]) + ',' +
            std::to_string(draw.bright[2]);
    return text;
}

void HeadlessGame::BeginHeadless(const std::string& hostFolder) {
    platform::MachineProfile& profile = platform::Profile();
    profile.display.host = platform::HostDisplayUse::Off;
    profile.display.classLockDirectory = hostFolder;
    profile.display.desktopWidth = 1280;
    profile.display.desktopHeight = 1024;
    profile.display.desktopBitsPerPixel = 32;
    profile.clock.performanceFrequency = 0;
    profile.sound.output = platform::SoundOutputUse::Virtual;
    profile.input.hostPads = false;
    platform::VirtualPad pad;
    pad.buttons = 24;
    profile.input.virtualPads = {pad};
    ResetFrameworkSide();

    // The per-user data folder lies in the run's folder.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    hadDataHome_ = dataHome != nullptr;
    if (hadDataHome_) previousDataHome_ = dataHome;
    setenv("XDG_DATA_HOME", (hostFolder + "/xdg-data").c_str(), 1);

    // A test of the input manager's counters may have emptied them: the
    // manager only counts the buttons it has a counter for.
    ForgetHeldButtons();
    Current = this;
    began_ = true;
    RunThread = std::this_thread::get_id();
    platform::SetMessageBoxSink([this](const platform::MessageBoxRecord& box) {
        messageBoxes.push_back(box);
        return (box.type & 0x0Fu) == MB_YESNO ? IDYES : IDOK;
    });
    Manager::CFPSManager::frameHook = &HeadlessGame::OnFrameHook;
    SetGraphicDrawObserver(&HeadlessGame::OnDraw);
    static const bool pollerRegistered = [] {
        platform::detail::RegisterMessagePoller(&HeadlessGame::OnMessagePoll);
        return true;
    }();
    (void)pollerRegistered;
}

void HeadlessGame::EndHeadless() {
    if (!began_) return;
    // Keys still held go up, and the input manager forgets them: the key
    // state outlives the run, and the next run's first frame would
    // otherwise see a key it never pressed go down.
    ApplyInput(-1);
    ForgetHeldButtons();
    Manager::CPrimitive2DObjectManager::GetInstance()->CheckUnreleased();
    Manager::C2DFontManager::GetInstance()->ReleaseAll();
    Manager::CTextureManager::GetInstance()->ReleaseAll();
    Manager::CSoundManager::GetInstance()->ReleaseAll();
    if (frameworkStarted_) EndFramework();
    frameworkStarted_ = false;
    Manager::CFPSManager::frameHook = nullptr;
    SetGraphicDrawObserver(nullptr);
    platform::SetMessageBoxSink({});
    Current = nullptr;
    began_ = false;
    if (hadDataHome_) setenv("XDG_DATA_HOME", previousDataHome_.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    ResetFrameworkSide();
}

bool HeadlessGame::StartFramework(RenderPath path) {
    platform::MachineProfile& profile = platform::Profile();
    if (path == RenderPath::OpenGL) {
        profile.display.host = platform::HostDisplayUse::Automatic;
        profile.direct3d.renderer = platform::Direct3DRenderer::OpenGL;
    } else {
        SetUseHardwareAcceleration(0);
    }
    // Start-up spins on the clock (the processor's speed, the display
    // change): let each read move it for that long only.
    profile.clock.advanceNanosecondsPerRead = 1000000;
    ChangeWindowMode(1);
    const int started = InitFramework();
    profile.clock.advanceNanosecondsPerRead = 0;
    if (started != 0) return false;
    frameworkStarted_ = true;
    if (path == RenderPath::OpenGL && HardwarePathFlag == 0) return false;
    SetWaitVSyncFlag(0);
    SelectDrawTarget(-2);
    return true;
}

// ---- frames -------------------------------------------------------------------------

void HeadlessGame::OnFrameHook(int phase) {
    HeadlessGame* game = Current;
    if (game == nullptr) return;
    if (phase == 0) {
        if (game->frameEndWorkBegins) game->frameEndWorkBegins();
        game->insideFrameEnd_ = true;
        game->EndFrame();
        if (game->frameEndWorkEnds) game->frameEndWorkEnds();
    } else {
        game->insideFrameEnd_ = false;
        if (game->afterFrameEnd) game->afterFrameEnd(game->FramesEnded());
    }
}

void HeadlessGame::QuitAtFrame(int frame) { AtFrame(frame, PostQuit); }

void HeadlessGame::EndFrame() {
    frames_.push_back(std::move(openFrame_));
    openFrame_.clear();
    lastFramePictureDraws_ = openFramePictureDraws_;
    openFramePictureDraws_ = 0;
    StepClock(static_cast<uint64_t>(frameMilliseconds_));
    const int frame = FramesEnded();
    ApplyInput(frame);
    auto actions = actions_.find(frame);
    if (actions != actions_.end())
        for (const auto& action : actions->second) action();
    if (atFrameEnd) atFrameEnd(frame);
    if (frame == frameLimit_) {
        PostQuitMessage(0);
        FrameLimitReached(frame);
    }
}

void HeadlessGame::OnDraw(const ObservedGraphicDraw& observed) {
    HeadlessGame* game = Current;
    if (game == nullptr) return;
    if (observed.handle >= 0) ++game->openFramePictureDraws_;
    if (!game->recordDraws_) return;
    SeenDraw draw;
    draw.call = observed.call;
    draw.handle = observed.handle;
    if (const GraphicRecord* record = GetGraphicRecord(observed.handle))
        if (record->sourceFileName != nullptr) draw.picture = LastComponent(record->sourceFileName->path);
    for (int i = 0; i < observed.pointCount * 2; ++i) draw.points.push_back(static_cast<int>(observed.points[i]));
    std::memcpy(draw.source, observed.source, sizeof(draw.source));
    draw.scale = observed.scale;
    draw.angle = observed.angle;
    draw.transFlag = observed.transFlag;
    draw.turnFlag = observed.turnFlag;
    draw.colour = observed.colour;
    const DrawSettings& settings = CurrentDrawSettings;
    draw.blendMode = settings.blendMode;
    draw.blendParam = settings.blendParam;
    draw.bright[0] = settings.brightRed;
    draw.bright[1] = settings.brightGreen;
    draw.bright[2] = settings.brightBlue;
    game->openFrame_.push_back(std::move(draw));
}

std::vector<uint32_t> HeadlessGame::CaptureFrame(int* width, int* height) {
    std::vector<uint32_t> pixels;
    int screenWidth = 0, screenHeight = 0;
    GetScreenModeInfo(&screenWidth, &screenHeight, nullptr);
    const int rect[4] = {0, 0, screenWidth, screenHeight};
    PixelImage image = {};
    if (screenWidth <= 0 || LockBackBuffer(rect, &image) != 0) return pixels;
    pixels.reserve(static_cast<size_t>(screenWidth) * screenHeight);
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            int r = 0, g = 0, b = 0, a = 0;
            ReadPixelRgba(&image, x, y, &r, &g, &b, &a);
            pixels.push_back(static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b));
        }
    }
    UnlockBackBuffer();
    if (width != nullptr) *width = screenWidth;
    if (height != nullptr) *height = screenHeight;
    return pixels;
}

// ---- the clock and the sound ------------------------------------------------------------

// A look at the queue outside a frame end stands for one pass of a loop that
// waits a millisecond (a sound played to its end, for one).
void HeadlessGame::OnMessagePoll() {
    HeadlessGame* game = Current;
    if (game == nullptr || game->insideFrameEnd_ || std::this_thread::get_id() != RunThread) return;
    if (!game->frameworkStarted_) return;
    game->StepClock(1);
}

void HeadlessGame::StepClock(uint64_t milliseconds) {
    platform::AdvanceManualClockMilliseconds(milliseconds);
    clockMilliseconds_ += milliseconds;
    SyncSound();
}

// Mixes up to the clock, so that a sound lasts as long in virtual time as
// its samples say.
void HeadlessGame::SyncSound() {
    if (mixRate_ == 0) {
        if (!platform::dsound::AdvanceVirtualOutput(0)) return;
        mixRate_ = platform::dsound::TakeVirtualOutput().frequency;
        if (mixRate_ == 0) return;
        mixedFrames_ = clockMilliseconds_ * mixRate_ / 1000;
        mixedMilliseconds_ = clockMilliseconds_;
        return;
    }
    const uint64_t target = clockMilliseconds_ * mixRate_ / 1000;
    if (target <= mixedFrames_) return;
    if (!platform::dsound::AdvanceVirtualOutput(static_cast<uint32_t>(target - mixedFrames_))) {
        mixRate_ = 0;
        return;
    }
    mixedFrames_ = target;
    mixedMilliseconds_ = clockMilliseconds_;
    const platform::dsound::VirtualMix mix = platform::dsound::TakeVirtualOutput();
    for (int16_t sample : mix.samples)
        if (sample != 0) {
            audible_ = true;
            break;
        }
}

bool HeadlessGame::TakeAudibleMix() {
    const bool audible = audible_;
    audible_ = false;
    return audible;
}

// ---- scripted input --------------------------------------------------------------------

void HeadlessGame::HoldKey(int virtualKey, int firstFrame, int count) {
    for (int frame = firstFrame; frame < firstFrame + count; ++frame) keysByFrame_[frame].insert(virtualKey);
}

void HeadlessGame::HoldPad(int padBits, int firstFrame, int count) {
    for (int frame = firstFrame; frame < firstFrame + count; ++frame) padByFrame_[frame] |= padBits;
}

// Key changes reach the window as the host would post them, and are taken
// from the queue at once so that this frame's input update sees them; the
// pad moves through the machine's virtual pad.
void HeadlessGame::ApplyInput(int frame) {
    const std::set<int> wanted = keysByFrame_.count(frame) ? keysByFrame_[frame] : std::set<int>{};
    HWND window = GetMainWindowHandle();
    if (window != nullptr) {
        for (int key : keysDown_)
            if (!wanted.count(key)) PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(key), (LPARAM)0xC0000001);
        for (int key : wanted)
            if (!keysDown_.count(key)) PostMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        MSG message;
        while (PeekMessageA(&message, window, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) DispatchMessageA(&message);
        keysDown_ = wanted;
    }
    const int pad = padByFrame_.count(frame) ? padByFrame_[frame] : 0;
    if (pad != padDown_ && !platform::Profile().input.virtualPads.empty()) {
        platform::SetVirtualPadAxis(0, kPadAxisX, (pad & 0x2) ? -32768 : (pad & 0x4) ? 32767 : 0);
        platform::SetVirtualPadAxis(0, kPadAxisY, (pad & 0x8) ? -32768 : (pad & 0x1) ? 32767 : 0);
        for (int button = 0; button < 24; ++button) platform::SetVirtualPadButton(0, button, (pad >> (4 + button)) & 1);
        padDown_ = pad;
    }
}

void HeadlessGame::ReloadLoadingDrawer() {
    static const char kSheet[] = "resource\\picture\\load\\now_loading.png";
    CNowLoadingDrawer* drawer = CNowLoadingDrawer::GetInstance();
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    if (textures->GetHandle(kSheet) < 0) textures->Load(kSheet, nullptr);
    drawer->graphic = textures->GetHandle(kSheet);
}

// ---- a folder of its own -----------------------------------------------------------------

bool HeadlessFolder::Enter(std::string* why) {
    Leave();
    std::string pattern = (std::filesystem::temp_directory_path() / "brackenfold-headless-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        *why = "cannot make a temporary folder";
        return false;
    }
    hostPath_ = pattern;
    platform::ResetMachine();
    platform::Profile().display.classLockDirectory = hostPath_;
    platform::UseManualClock(true);
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    previousDirectory_ = previous;
    // The log starts in the current directory, which start-up leaves at
    // StartDirectory.
    std::string windowsPath = "C:" + hostPath_;
    for (char& c : windowsPath)
        if (c == '/') c = '\\';
    if (windowsPath.size() >= sizeof(StartDirectory) || !SetCurrentDirectoryA(windowsPath.c_str())) {
        *why = "cannot enter the temporary folder " + hostPath_;
        return false;
    }
    std::snprintf(StartDirectory, sizeof(StartDirectory), "%s", windowsPath.c_str());
    SetLogFileOutput(1);
    StartLogFile();
    return true;
}

void HeadlessFolder::Leave() {
    if (hostPath_.empty()) return;
    SetLogFileOutput(1);
    StartDirectory[0] = '\0';
    LogIndentDepth = 0;
    LogMidLine = 0;
    if (!previousDirectory_.empty()) SetCurrentDirectoryA(previousDirectory_.c_str());
    previousDirectory_.clear();
    platform::ResetMachine();
    std::error_code ignored;
    std::filesystem::remove_all(hostPath_, ignored);
    hostPath_.clear();
}

}  // namespace gametest
