// SDL2's text editing into the window's input context. SDL2 gives the
// composition as UTF-8 with its cursor counted in characters; the input
// context keeps Shift-JIS with the cursor as a byte offset.
#include "platform/host/host_ime.h"

#include <cstring>

#include "platform/host/host_state.h"
#include "platform/imm/input_method_feed.h"

namespace platform::host {
namespace detail {
namespace {

// The first `characters` characters of UTF-8 text.
std::string Utf8Prefix(const char* text, int characters) {
    size_t at = 0;
    const size_t size = std::strlen(text);
    for (int counted = 0; counted < characters && at < size; ++counted) {
        ++at;
        while (at < size && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return std::string(text, at);
}

}  // namespace

void TranslateTextEditing(const SDL_TextEditingEvent& event) {
    HostWindow* shown = FindHostWindowById(event.windowID);
    if (shown == nullptr) return;
    const std::string composition = HostTextToShiftJis(event.text);
    const std::string beforeCursor = HostTextToShiftJis(Utf8Prefix(event.text, event.start));
    platform::ShowComposition(shown->handle, composition, static_cast<DWORD>(beforeCursor.size()));
}

bool TranslateCommittedText(const SDL_TextInputEvent& event) {
    HostWindow* shown = FindHostWindowById(event.windowID);
    if (shown == nullptr) return false;
    return platform::CommitComposition(shown->handle, HostTextToShiftJis(event.text));
}

}  // namespace detail

namespace {

Uint32 ShownWindowId(HWND window) {
    detail::HostWindow* shown = detail::FindHostWindow(window);
    return shown != nullptr && shown->window != nullptr ? shown->id : 0;
}

}  // namespace

bool PushTextEditingEvent(HWND window, const std::string& utf8, int start, int length) {
    const Uint32 id = ShownWindowId(window);
    if (id == 0 || utf8.size() >= SDL_TEXTEDITINGEVENT_TEXT_SIZE) return false;
    SDL_Event event{};
    event.edit.type = SDL_TEXTEDITING;
    event.edit.windowID = id;
    std::memcpy(event.edit.text, utf8.c_str(), utf8.size() + 1);
    event.edit.start = start;
    event.edit.length = length;
    return SDL_PushEvent(&event) == 1;
}

bool PushTextInputEvent(HWND window, const std::string& utf8) {
    const Uint32 id = ShownWindowId(window);
    if (id == 0 || utf8.size() >= SDL_TEXTINPUTEVENT_TEXT_SIZE) return false;
    SDL_Event event{};
    event.text.type = SDL_TEXTINPUT;
    event.text.windowID = id;
    std::memcpy(event.text.text, utf8.c_str(), utf8.size() + 1);
    return SDL_PushEvent(&event) == 1;
}

}  // namespace platform::host
