// Message boxes as SDL2's dialogs, on a display that a user sees.
#include <mutex>

#include "platform/host/sdl_video.h"

namespace platform::host {
namespace {

struct Catching {
    std::mutex lock;
    DialogCatcher catcher;
};

// Outlives threads still running at exit.
Catching& TheCatching() {
    static Catching* catching = new Catching;
    return *catching;
}

DialogCatcher Catcher() {
    Catching& catching = TheCatching();
    std::lock_guard<std::mutex> guard(catching.lock);
    return catching.catcher;
}

}  // namespace

void CatchSdlDialogs(DialogCatcher catcher) {
    Catching& catching = TheCatching();
    std::lock_guard<std::mutex> guard(catching.lock);
    catching.catcher = std::move(catcher);
}

bool SdlVideo::SeenByUser(Uint32 id) const {
    if (!Opened(id) || gone_.count(id) != 0 || goneReported_.count(id) != 0) return false;
    SDL_Window* window = SDL_GetWindowFromID(id);
    return window != nullptr && minimized_.count(id) == 0 &&
           (SDL_GetWindowFlags(window) & (SDL_WINDOW_SHOWN | SDL_WINDOW_MINIMIZED)) == SDL_WINDOW_SHOWN;
}

SDL_Window* SdlVideo::DialogParent(HostWindowId owner) const {
    // A window shown full screen covers every other window of the program,
    // the owner among them: the dialog goes over it, as the window manager
    // stacks a window's dialogs above the window itself.
    for (Uint32 id : fullScreenStyled_)
        if (SeenByUser(id)) return SDL_GetWindowFromID(id);
    // A hidden or minimised owner would take its dialog out of sight.
    if (owner != 0 && SeenByUser(owner)) return SDL_GetWindowFromID(owner);
    // Else over a window kept on top, which would hide a dialog of its own.
    for (Uint32 id : keptOnTop_)
        if (SeenByUser(id)) return SDL_GetWindowFromID(id);
    return nullptr;
}

void SdlVideo::HoldOnTop(bool held) {
    onTopLifted_ = !held;
    // SDL2 leaves a full-screen window's state as it is; the window manager
    // is asked directly.
    for (Uint32 id : keptOnTop_) KeepX11WindowAbove(SDL_GetWindowFromID(id), held);
}

bool SdlVideo::ShowMessageBox(HostWindowId owner, const std::string& title, const std::string& text,
                              MessageBoxIcon icon, const std::vector<MessageBoxButton>& buttons, int& answer) {
    const DialogCatcher catcher = Catcher();
    if ((!catcher && !SdlVideoSeenByUser()) || buttons.empty()) return false;
    std::vector<SDL_MessageBoxButtonData> shown;
    for (size_t index = 0; index < buttons.size(); ++index) {
        Uint32 flags = 0;
        if (buttons[index].onReturn) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (buttons[index].onEscape) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        shown.push_back(SDL_MessageBoxButtonData{flags, static_cast<int>(index), buttons[index].label.c_str()});
    }
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (icon) {
        case MessageBoxIcon::Error: flags |= SDL_MESSAGEBOX_ERROR; break;
        case MessageBoxIcon::Warning: flags |= SDL_MESSAGEBOX_WARNING; break;
        case MessageBoxIcon::Information:
        case MessageBoxIcon::Question: flags |= SDL_MESSAGEBOX_INFORMATION; break;
        case MessageBoxIcon::Plain: break;
    }
    // The windows are the host thread's: a box from another thread goes
    // over none of them.
    const bool onHostThread = OnHostVideoThread();
    SDL_MessageBoxData box{};
    box.flags = flags;
    box.window = onHostThread ? DialogParent(owner) : nullptr;
    box.title = title.c_str();
    box.message = text.c_str();
    box.numbuttons = static_cast<int>(shown.size());
    box.buttons = shown.data();
    int pressed = -1;
    // While the box is up no window is kept above it: the player must see
    // it and answer it.
    if (onHostThread) HoldOnTop(false);
    int failed = 0;
    if (catcher)
        pressed = catcher(box);
    else
        failed = SDL_ShowMessageBox(&box, &pressed);
    if (onHostThread) HoldOnTop(true);
    if (failed != 0) return false;
    // Closed without a button: the one Escape presses, else the first.
    if (pressed < 0 || pressed >= static_cast<int>(buttons.size())) {
        pressed = 0;
        for (size_t index = 0; index < buttons.size(); ++index)
            if (buttons[index].onEscape) pressed = static_cast<int>(index);
    }
    answer = buttons[static_cast<size_t>(pressed)].answer;
    return true;
}

}  // namespace platform::host
