// Message boxes as SDL2's dialogs, on a display that a user sees.
#include "platform/host/sdl_video.h"

namespace platform::host {

bool SdlVideo::ShowMessageBox(HostWindowId owner, const std::string& title, const std::string& text,
                              MessageBoxIcon icon, const std::vector<MessageBoxButton>& buttons, int& answer) {
    if (!SdlVideoSeenByUser() || buttons.empty()) return false;
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
    SDL_MessageBoxData box{};
    box.flags = flags;
    box.window = owner != 0 && Opened(owner) && goneReported_.count(owner) == 0 ? SDL_GetWindowFromID(owner) : nullptr;
    box.title = title.c_str();
    box.message = text.c_str();
    box.numbuttons = static_cast<int>(shown.size());
    box.buttons = shown.data();
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) return false;
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
