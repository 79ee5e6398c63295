// The host's clipboard, as Shift-JIS text.
#include "platform/host/host_state.h"

namespace platform::host {

bool SetClipboardText(const std::string& shiftJis) {
    if (!DisplayAvailable()) return false;
    return SDL_SetClipboardText(detail::ShiftJisToHostText(shiftJis).c_str()) == 0;
}

bool ClipboardText(std::string& shiftJis) {
    if (!DisplayAvailable() || !SDL_HasClipboardText()) return false;
    char* text = SDL_GetClipboardText();
    if (text == nullptr) return false;
    shiftJis = detail::HostTextToShiftJis(text);
    SDL_free(text);
    return true;
}

}  // namespace platform::host
