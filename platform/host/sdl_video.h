// SDL2's video adapter. Private to platform/host: with sdl_input.h, the only
// header besides SDL2's own that includes SDL2.
#pragma once

#include <SDL.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/host/host_video.h"

namespace platform::host {

// Each window is an SDL2 window; its id is SDL2's window id. Used on the
// host thread only, but for the clipboard and the desktop size.
class SdlVideo final : public VideoAdapter {
public:
    bool ShowsWindows() const override { return true; }
    bool DesktopSize(LONG& width, LONG& height) override;
    bool DisplayModes(std::vector<DisplayMode>& modes) override;
    bool SwitchDisplayMode(const DisplayMode* mode) override;
    PictureArea PictureAreaOf(HostWindowId window, LONG width, LONG height) override;

    HostWindowId OpenWindow(const std::string& title, const RECT& client, bool bordered, bool resizable) override;
    void CloseWindow(HostWindowId window) override;
    void SetTitle(HostWindowId window, const std::string& title) override;
    void SetStyle(HostWindowId window, bool bordered, bool resizable, bool topmost) override;
    void SetIcon(HostWindowId window, int32_t width, int32_t height, const uint32_t* pixels) override;
    void Show(HostWindowId window, bool visible) override;
    void Place(HostWindowId window, detail::Placement placement) override;
    void Move(HostWindowId window, LONG x, LONG y) override;
    void Resize(HostWindowId window, LONG width, LONG height) override;
    void Raise(HostWindowId window) override;
    void Present(HostWindowId window, LONG width, LONG height, const uint32_t* pixels) override;
    void ShowCursor(bool shown) override;
    void AllowScreenSaver(bool allowed) override;

    GlContext CreateGlContext(HostWindowId window) override;
    bool MakeGlContextCurrent(HostWindowId window, GlContext context) override;
    void SwapGlWindow(HostWindowId window) override;
    void DestroyGlContext(GlContext context) override;

    bool PollEvent(HostEvent& event) override;

    bool SetClipboardText(const std::string& text) override;
    bool ClipboardText(std::string& text) override;

    bool ShowMessageBox(HostWindowId owner, const std::string& title, const std::string& text,
                        MessageBoxIcon icon, const std::vector<MessageBoxButton>& buttons, int& answer) override;

    // Destroys every window the adapter opened and forgets its state.
    void CloseAll();
    // Takes the display out of a mode the program switched it to (one it
    // runs, not one shown scaled), as the program ends.
    void PutBackDisplayMode();
    // The window was destroyed from outside the program: the next poll
    // reports it gone (once).
    void MarkGone(Uint32 id);
    // Whether the window is held above the others (the program keeps it
    // topmost and no dialog is up).
    bool HeldOnTop(Uint32 id) const { return keptOnTop_.count(id) != 0 && !onTopLifted_; }

private:
    // Turns one SDL2 event into `out`; false when it reports nothing.
    bool Translate(const SDL_Event& event, HostEvent& out);
    bool TranslateWindowEvent(const SDL_WindowEvent& event, HostEvent& out);
    bool TranslateMouseButton(const SDL_MouseButtonEvent& event, HostEvent& out);
    bool TranslateDrop(const SDL_DropEvent& event, HostEvent& out);
    WPARAM MouseKeys() const;
    bool Opened(Uint32 id) const { return windows_.count(id) != 0; }
    // Shows the window in the switched mode while one is in force and the
    // window is in full-screen style, else as an ordinary window.
    void ApplyDisplayMode(Uint32 id);
    // The window is shown full screen on the desktop's mode, its picture
    // scaled: the switched mode is one the display lacks.
    bool ShownScaled(Uint32 id) const;
    // Where the switched mode's screen shows in a scaled window's pixels:
    // `screen`, in pixels `pixelWidth` by `pixelHeight`. False when the
    // window is not shown scaled.
    struct Scaling {
        RECT screen{};
        LONG pixelWidth = 0;
        LONG pixelHeight = 0;
    };
    bool ScalingOf(Uint32 id, Scaling& scaling);
    // A point of a scaled window's pixels as a point of its client area.
    void ToClientPoint(Uint32 id, LONG& x, LONG& y);
    // Windows destroyed from outside that are still to be reported gone.
    bool TakeGone(HostEvent& out);
    // Whether a user sees the window: open, not gone, shown, not minimised.
    bool SeenByUser(Uint32 id) const;
    // The window a dialog goes over, for a box of `owner` (0: none).
    SDL_Window* DialogParent(HostWindowId owner) const;
    // Holds the windows the program keeps topmost above the others, or lets
    // them down while a dialog is up.
    void HoldOnTop(bool held);

    std::set<Uint32> windows_;
    // The client area each window has for the program (screen
    // coordinates): where it was opened, moved or resized to, or where the
    // host moved or resized it.
    std::map<Uint32, SDL_Rect> clients_;
    // Windows the program keeps topmost, and those of them without a
    // frame: the full-screen ones.
    std::set<Uint32> keptOnTop_;
    std::set<Uint32> fullScreenStyled_;
    bool onTopLifted_ = false;  // a dialog is up
    bool switched_ = false;
    bool scaled_ = false;  // the switched mode is shown on the desktop's
    SDL_DisplayMode switchedMode_{};
    SDL_Point switchedSize_{};  // the switched mode's size
    // The mode SDL2's display was last asked for (0 by 0: the desktop's).
    SDL_Point modeAsked_{};
    void NoteModeAsked(int width, int height);
    // Notes the display's own mode asked back when a window in the switched
    // mode goes (SDL2 gives it back as it destroys the window).
    void LeaveSwitchedMode(SDL_Window* window);
    // Windows minimised, by the program or on the display: a driver may
    // take the request without saying so in the window's flags.
    std::set<Uint32> minimized_;
    std::set<Uint32> gone_;          // destroyed from outside, not yet reported
    std::set<Uint32> goneReported_;  // reported; closed by the program later
    Uint32 mouseButtons_ = 0;  // SDL_BUTTON masks held, as events told
    // The files of the drop under way: SDL2 names them one event each
    // between the drop's begin and its end, and the window gets them as one
    // drop.
    Uint32 dropWindow_ = 0;
    std::vector<std::string> droppedFiles_;
};

SdlVideo& TheSdlVideo();

// While set, the dialogs of message boxes go to `catcher` instead of SDL2,
// even on a display no user sees (tests): it answers as SDL_ShowMessageBox
// would, with the button id pressed (-1: closed without one). An empty
// function gives them back to SDL2.
using DialogCatcher = std::function<int(const SDL_MessageBoxData&)>;
void CatchSdlDialogs(DialogCatcher catcher);

// True when SDL2's video driver shows windows to a user (not the offscreen
// or dummy driver, which tests ask for).
bool SdlVideoSeenByUser();

// When SDL2 runs on X11 (platform/host/sdl_x11.cpp): windows that another
// program destroys must not end this one. X errors about a window or
// drawable that no longer exists are noted rather than fatal, and the
// destruction itself is watched for. Each does nothing on another driver.
void WatchX11Windows();
// Takes note of the window's display connection, for SyncX11, and asks the
// X server to keep the window's pixels while another window covers it.
void NoteX11Window(SDL_Window* window);
// Whether the X11 window behind the SDL2 window has been destroyed (its
// destruction seen, or an error about it).
bool X11WindowGone(SDL_Window* window);
// Notes what an SDL2 window-manager event tells of destroyed windows.
void NoteX11Event(const SDL_SysWMEvent& event);
// Waits until the X server has answered every request made so far, so that
// errors they cause arrive while they are still noted rather than fatal.
void SyncX11();
// Readies an SDL2 window whose X11 window is gone to be destroyed by SDL2.
void ReadyGoneX11Window(SDL_Window* window);
// Forgets the display connection and the windows noted (the video stops).
void ForgetX11Windows();
// Asks the window manager to keep the window above the others, or to stop.
void KeepX11WindowAbove(SDL_Window* window, bool above);

// The virtual key, the set-1 scan code and the extended-key flag of a key,
// from its SDL2 scan code (letters and digits from the key's symbol, so that
// they follow the keyboard layout). False for a key without a virtual key.
struct KeyCode {
    UINT virtualKey = 0;
    UINT scanCode = 0;
    bool extended = false;
};
bool TranslateKey(const SDL_Keysym& key, KeyCode& code);

}  // namespace platform::host
