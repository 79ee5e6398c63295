// SDL2 events as window-system reports: window changes, focus, the close
// button, keys, typed text, the mouse and dropped files.
#include <string>
#include <vector>

#include "platform/host/host_ime.h"
#include "platform/host/host_state.h"
#include "platform/kernel/path_mapping.h"
#include "platform/shell/dropped_files_feed.h"
#include "platform/user/window_system.h"
#include "platform/user/window_system_events.h"

namespace platform::host::detail {
namespace {

namespace events = platform::detail::events;
using platform::detail::Placement;

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    HostWindow* shown = FindHostWindowById(event.windowID);
    if (shown == nullptr) return;
    const HWND window = shown->handle;
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED: events::Exposed(window); break;
        case SDL_WINDOWEVENT_MOVED: {
            const LONG width = platform::detail::Width(shown->client);
            const LONG height = platform::detail::Height(shown->client);
            shown->client = RECT{event.data1, event.data2, event.data1 + width, event.data2 + height};
            events::ClientMoved(window, event.data1, event.data2);
            break;
        }
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            shown->client.right = shown->client.left + event.data1;
            shown->client.bottom = shown->client.top + event.data2;
            events::ClientResized(window, event.data1, event.data2);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            shown->placement = Placement::Minimized;
            events::PlacementChanged(window, Placement::Minimized);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            shown->placement = Placement::Maximized;
            events::PlacementChanged(window, Placement::Maximized);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            shown->placement = Placement::Normal;
            events::PlacementChanged(window, Placement::Normal);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: events::FocusChanged(window, true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: events::FocusChanged(window, false); break;
        case SDL_WINDOWEVENT_CLOSE: events::CloseRequested(window); break;
        default: break;
    }
}

WPARAM MouseKeys() {
    const Uint32 buttons = Windows().mouseButtons;
    const SDL_Keymod modifiers = SDL_GetModState();
    WPARAM keys = 0;
    if (buttons & SDL_BUTTON_LMASK) keys |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) keys |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK) keys |= MK_MBUTTON;
    if (modifiers & KMOD_SHIFT) keys |= MK_SHIFT;
    if (modifiers & KMOD_CTRL) keys |= MK_CONTROL;
    return keys;
}

void TranslateMouseButton(const SDL_MouseButtonEvent& event) {
    HostWindow* shown = FindHostWindowById(event.windowID);
    if (shown == nullptr) return;
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    UINT message = 0;
    switch (event.button) {
        case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
        default: return;
    }
    if (down)
        Windows().mouseButtons |= SDL_BUTTON(event.button);
    else
        Windows().mouseButtons &= ~SDL_BUTTON(event.button);
    events::Mouse(shown->handle, message, event.x, event.y, MouseKeys());
}

void TranslateKeyEvent(const SDL_KeyboardEvent& event) {
    HostWindow* shown = FindHostWindowById(event.windowID);
    KeyCode code;
    if (shown == nullptr || !TranslateKey(event.keysym, code)) return;
    const bool altHeld = (event.keysym.mod & KMOD_ALT) != 0 || code.virtualKey == VK_MENU;
    const bool controlHeld = (event.keysym.mod & KMOD_CTRL) != 0;
    events::Key(shown->handle, code.virtualKey, code.scanCode, code.extended, event.type == SDL_KEYDOWN,
                event.repeat != 0, altHeld, controlHeld);
}

void TranslateText(const SDL_TextInputEvent& event) {
    HostWindow* shown = FindHostWindowById(event.windowID);
    if (shown == nullptr) return;
    // Alt with a letter is a system key, not typing (Alt Gr, the right Alt,
    // types characters on many layouts).
    const SDL_Keymod modifiers = SDL_GetModState();
    if ((modifiers & KMOD_LALT) && !(modifiers & KMOD_CTRL)) return;
    events::Text(shown->handle, HostTextToShiftJis(event.text));
}

// The files of the drop under way: SDL2 names them one event each between
// the drop's begin and its end, and the window gets them as one drop.
struct PendingDrop {
    Uint32 windowId = 0;
    std::vector<std::string> windowsPaths;
};

PendingDrop& DropUnderWay() {
    static PendingDrop drop;  // host thread only
    return drop;
}

void TranslateDrop(const SDL_DropEvent& event) {
    PendingDrop& drop = DropUnderWay();
    switch (event.type) {
        case SDL_DROPBEGIN:
            drop = PendingDrop{event.windowID, {}};
            break;
        case SDL_DROPFILE: {
            drop.windowId = event.windowID;
            // A name without a Shift-JIS form cannot be handed on.
            std::string windowsPath;
            if (event.file != nullptr && platform::detail::HostToWindowsPath(event.file, windowsPath))
                drop.windowsPaths.push_back(std::move(windowsPath));
            break;
        }
        case SDL_DROPCOMPLETE: {
            HostWindow* shown = FindHostWindowById(event.windowID != 0 ? event.windowID : drop.windowId);
            if (shown != nullptr) platform::PostDroppedFiles(shown->handle, std::move(drop.windowsPaths));
            drop = PendingDrop{};
            break;
        }
        default: break;  // dropped text is not taken
    }
    SDL_free(event.file);
}

}  // namespace

void TranslateEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT: TranslateWindowEvent(event.window); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: TranslateKeyEvent(event.key); break;
        case SDL_TEXTEDITING: TranslateTextEditing(event.edit); break;
        case SDL_TEXTINPUT: if (!TranslateCommittedText(event.text)) TranslateText(event.text); break;
        case SDL_MOUSEMOTION: {
            HostWindow* shown = FindHostWindowById(event.motion.windowID);
            if (shown != nullptr)
                events::Mouse(shown->handle, WM_MOUSEMOVE, event.motion.x, event.motion.y, MouseKeys());
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: TranslateMouseButton(event.button); break;
        case SDL_DROPBEGIN:
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
        case SDL_DROPCOMPLETE: TranslateDrop(event.drop); break;
        default: break;  // the quit request comes as each window's close button
    }
}

}  // namespace platform::host::detail
