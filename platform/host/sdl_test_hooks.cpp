// What tests reach of SDL2's video adapter.
#include <cstring>

#include "platform/host/sdl_host.h"
#include "platform/host/sdl_video.h"
#include "platform/profile/machine_profile.h"
#include "platform/registrations.h"

namespace platform::host {
namespace {

// The SDL2 window id of the window that shows `window`, or 0. The window
// system, above the host, answers which display window shows it.
Uint32 ShownWindowId(HWND window) {
    const auto shownWindowOf = AllRegistrations().Upward().shownWindowOf;
    const HostWindowId id = shownWindowOf != nullptr ? shownWindowOf(window) : 0;
    return id != 0 && SDL_GetWindowFromID(id) != nullptr ? id : 0;
}

const ResetHook kDialogCatcherReset([] { CatchSdlDialogs({}); });

}  // namespace

bool DisplayAvailable() { return HostVideo().ShowsWindows(); }

SDL_Window* WindowOf(HWND window) {
    if (!OnHostVideoThread()) return nullptr;
    const Uint32 id = ShownWindowId(window);
    return id != 0 ? SDL_GetWindowFromID(id) : nullptr;
}

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

namespace platform::host {

bool ReportWindowGone(HWND window) {
    const Uint32 id = ShownWindowId(window);
    if (id == 0) return false;
    TheSdlVideo().MarkGone(id);
    return true;
}

void CatchDialogs(std::function<int(const DialogShown&)> catcher) {
    if (!catcher) return CatchSdlDialogs({});
    CatchSdlDialogs([catcher = std::move(catcher)](const SDL_MessageBoxData& box) {
        return catcher(DialogShown{box.window, box.title != nullptr ? box.title : "",
                                   box.message != nullptr ? box.message : ""});
    });
}

bool HeldOnTop(HWND window) {
    const Uint32 id = ShownWindowId(window);
    return id != 0 && TheSdlVideo().HeldOnTop(id);
}

}  // namespace platform::host
