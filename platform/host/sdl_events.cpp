// SDL2 events as the display's reports: window changes, focus, the close
// button, keys, typed text and the input method's composition, the mouse,
// dropped files, and windows that another program destroyed.
#include "platform/host/sdl_video.h"
#include "platform/user/user.h"

namespace platform::host {

using platform::detail::Placement;
using Kind = HostEvent::Kind;

bool SdlVideo::PollEvent(HostEvent& out) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        out = HostEvent{};
        if (Translate(event, out)) return true;
    }
    // A window gone is reported after what the display said of it before.
    out = HostEvent{};
    return TakeGone(out);
}

void SdlVideo::MarkGone(Uint32 id) {
    if (Opened(id) && goneReported_.count(id) == 0) gone_.insert(id);
}

bool SdlVideo::TakeGone(HostEvent& out) {
    for (Uint32 id : windows_)
        if (goneReported_.count(id) == 0 && X11WindowGone(SDL_GetWindowFromID(id))) gone_.insert(id);
    if (gone_.empty()) return false;
    const Uint32 id = *gone_.begin();
    gone_.erase(gone_.begin());
    goneReported_.insert(id);
    out.kind = Kind::Gone;
    out.window = id;
    return true;
}

bool SdlVideo::TranslateWindowEvent(const SDL_WindowEvent& event, HostEvent& out) {
    if (!Opened(event.windowID) || goneReported_.count(event.windowID) != 0) return false;
    out.window = event.windowID;
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED: out.kind = Kind::Exposed; return true;
        // A window shown scaled covers the desktop for a client area that
        // stays as the program made it.
        case SDL_WINDOWEVENT_MOVED:
            if (ShownScaled(event.windowID)) return false;
            out.kind = Kind::Moved;
            out.x = event.data1;
            out.y = event.data2;
            clients_[event.windowID].x = event.data1;
            clients_[event.windowID].y = event.data2;
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            // A size that a later change overtook (full screen left, a
            // resize of the program's) is not the window's.
            int width = 0, height = 0;
            SDL_GetWindowSize(SDL_GetWindowFromID(event.windowID), &width, &height);
            if (ShownScaled(event.windowID) || width != event.data1 || height != event.data2) return false;
            out.kind = Kind::Resized;
            out.x = event.data1;
            out.y = event.data2;
            clients_[event.windowID].w = event.data1;
            clients_[event.windowID].h = event.data2;
            return true;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
            out.kind = Kind::Placed;
            out.placement = Placement::Minimized;
            minimized_.insert(event.windowID);
            return true;
        case SDL_WINDOWEVENT_MAXIMIZED:
            out.kind = Kind::Placed;
            out.placement = Placement::Maximized;
            minimized_.erase(event.windowID);
            return true;
        case SDL_WINDOWEVENT_RESTORED:
            out.kind = Kind::Placed;
            out.placement = Placement::Normal;
            minimized_.erase(event.windowID);
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED: out.kind = Kind::FocusGained; return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: out.kind = Kind::FocusLost; return true;
        case SDL_WINDOWEVENT_CLOSE: out.kind = Kind::CloseRequested; return true;
        default: return false;
    }
}

WPARAM SdlVideo::MouseKeys() const {
    const SDL_Keymod modifiers = SDL_GetModState();
    WPARAM keys = 0;
    if (mouseButtons_ & SDL_BUTTON_LMASK) keys |= MK_LBUTTON;
    if (mouseButtons_ & SDL_BUTTON_RMASK) keys |= MK_RBUTTON;
    if (mouseButtons_ & SDL_BUTTON_MMASK) keys |= MK_MBUTTON;
    if (modifiers & KMOD_SHIFT) keys |= MK_SHIFT;
    if (modifiers & KMOD_CTRL) keys |= MK_CONTROL;
    return keys;
}

bool SdlVideo::TranslateMouseButton(const SDL_MouseButtonEvent& event, HostEvent& out) {
    if (!Opened(event.windowID)) return false;
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    UINT message = 0;
    switch (event.button) {
        case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
        default: return false;
    }
    if (down)
        mouseButtons_ |= SDL_BUTTON(event.button);
    else
        mouseButtons_ &= ~SDL_BUTTON(event.button);
    out.kind = Kind::Mouse;
    out.window = event.windowID;
    out.mouseMessage = message;
    out.x = event.x;
    out.y = event.y;
    ToClientPoint(event.windowID, out.x, out.y);
    out.mouseKeys = MouseKeys();
    return true;
}

bool SdlVideo::TranslateDrop(const SDL_DropEvent& event, HostEvent& out) {
    bool complete = false;
    switch (event.type) {
        case SDL_DROPBEGIN:
            dropWindow_ = event.windowID;
            droppedFiles_.clear();
            break;
        case SDL_DROPFILE:
            dropWindow_ = event.windowID;
            if (event.file != nullptr) droppedFiles_.push_back(event.file);
            break;
        case SDL_DROPCOMPLETE:
            out.kind = Kind::FilesDropped;
            out.window = event.windowID != 0 ? event.windowID : dropWindow_;
            out.files = std::move(droppedFiles_);
            dropWindow_ = 0;
            droppedFiles_.clear();
            complete = true;
            break;
        default: break;  // dropped text is not taken
    }
    SDL_free(event.file);
    return complete;
}

bool SdlVideo::Translate(const SDL_Event& event, HostEvent& out) {
    switch (event.type) {
        case SDL_WINDOWEVENT: return TranslateWindowEvent(event.window, out);
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            KeyCode code;
            if (!Opened(event.key.windowID) || !TranslateKey(event.key.keysym, code)) return false;
            out.kind = Kind::Key;
            out.window = event.key.windowID;
            out.key.virtualKey = code.virtualKey;
            out.key.scanCode = code.scanCode;
            out.key.extended = code.extended;
            out.key.down = event.type == SDL_KEYDOWN;
            out.key.repeat = event.key.repeat != 0;
            out.key.altHeld = (event.key.keysym.mod & KMOD_ALT) != 0 || code.virtualKey == VK_MENU;
            out.key.controlHeld = (event.key.keysym.mod & KMOD_CTRL) != 0;
            return true;
        }
        case SDL_TEXTEDITING:
            if (!Opened(event.edit.windowID)) return false;
            out.kind = Kind::Composition;
            out.window = event.edit.windowID;
            out.text = event.edit.text;
            out.cursor = event.edit.start;
            return true;
        case SDL_TEXTINPUT: {
            if (!Opened(event.text.windowID)) return false;
            out.kind = Kind::Text;
            out.window = event.text.windowID;
            out.text = event.text.text;
            // Alt with a letter is a system key, not typing (Alt Gr, the
            // right Alt, types characters on many layouts).
            const SDL_Keymod modifiers = SDL_GetModState();
            out.systemKeyHeld = (modifiers & KMOD_LALT) && !(modifiers & KMOD_CTRL);
            return true;
        }
        case SDL_MOUSEMOTION:
            if (!Opened(event.motion.windowID)) return false;
            out.kind = Kind::Mouse;
            out.window = event.motion.windowID;
            out.mouseMessage = WM_MOUSEMOVE;
            out.x = event.motion.x;
            out.y = event.motion.y;
            ToClientPoint(event.motion.windowID, out.x, out.y);
            out.mouseKeys = MouseKeys();
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: return TranslateMouseButton(event.button, out);
        case SDL_DROPBEGIN:
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
        case SDL_DROPCOMPLETE: return TranslateDrop(event.drop, out);
        case SDL_SYSWMEVENT:
            NoteX11Event(event.syswm);
            return false;
        default: return false;  // the quit request comes as each window's close button
    }
}

}  // namespace platform::host
