// SDL2's video adapter. Private to platform/host: with sdl_input.h, the only
// header besides SDL2's own that includes SDL2.
#pragma once

#include <SDL.h>

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

    // Destroys every window the adapter opened and forgets its state.
    void CloseAll();

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

    std::set<Uint32> windows_;
    // Windows without a frame kept on top: the full-screen ones.
    std::set<Uint32> fullScreenStyled_;
    bool switched_ = false;
    SDL_DisplayMode switchedMode_{};
    Uint32 mouseButtons_ = 0;  // SDL_BUTTON masks held, as events told
    // The files of the drop under way: SDL2 names them one event each
    // between the drop's begin and its end, and the window gets them as one
    // drop.
    Uint32 dropWindow_ = 0;
    std::vector<std::string> droppedFiles_;
};

SdlVideo& TheSdlVideo();

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
