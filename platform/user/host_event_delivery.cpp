// The display's events as window messages: each report about a shown window
// goes to the window system, the input method or the shell as what it is.
// The input method and the shell sit above the window system and answer
// through their registrations (platform/registrations.h).
#include <string>
#include <vector>

#include "platform/kernel/path_mapping.h"
#include "platform/registrations.h"
#include "platform/user/host_display.h"
#include "platform/user/host_text.h"
#include "platform/user/window_system_events.h"

namespace platform::detail {
namespace {

using Kind = HostEvent::Kind;

// The first `characters` characters of UTF-8 text.
std::string Utf8Prefix(const std::string& text, int characters) {
    size_t at = 0;
    for (int counted = 0; counted < characters && at < text.size(); ++counted) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return text.substr(0, at);
}

void Deliver(const HostEvent& event) {
    ShownWindow* shown = FindShownWindowById(event.window);
    if (shown == nullptr) return;
    const HWND window = shown->handle;
    const UpwardCalls& upward = AllRegistrations().Upward();
    switch (event.kind) {
        case Kind::Exposed: events::Exposed(window); break;
        case Kind::Moved: {
            const LONG width = Width(shown->client);
            const LONG height = Height(shown->client);
            shown->client = RECT{event.x, event.y, event.x + width, event.y + height};
            events::ClientMoved(window, event.x, event.y);
            break;
        }
        case Kind::Resized:
            shown->client.right = shown->client.left + event.x;
            shown->client.bottom = shown->client.top + event.y;
            events::ClientResized(window, event.x, event.y);
            break;
        case Kind::Placed:
            shown->placement = event.placement;
            events::PlacementChanged(window, event.placement);
            break;
        case Kind::FocusGained: events::FocusChanged(window, true); break;
        case Kind::FocusLost: events::FocusChanged(window, false); break;
        case Kind::CloseRequested: events::CloseRequested(window); break;
        case Kind::Gone: events::Gone(window); break;
        case Kind::Key: {
            const HostEvent::KeyReport& key = event.key;
            events::Key(window, key.virtualKey, key.scanCode, key.extended, key.down, key.repeat, key.altHeld,
                        key.controlHeld);
            break;
        }
        case Kind::Text: {
            // Committed text ends a composition in progress; else it is typed.
            const std::string text = HostTextToShiftJis(event.text);
            const bool committed = upward.commitComposition != nullptr && upward.commitComposition(window, text);
            if (!committed && !event.systemKeyHeld) events::Text(window, text);
            break;
        }
        case Kind::Composition: {
            if (upward.showComposition == nullptr) break;
            // The input context keeps the cursor as a byte offset into the
            // Shift-JIS composition.
            const std::string beforeCursor = HostTextToShiftJis(Utf8Prefix(event.text, event.cursor));
            upward.showComposition(window, HostTextToShiftJis(event.text), static_cast<DWORD>(beforeCursor.size()));
            break;
        }
        case Kind::Mouse: events::Mouse(window, event.mouseMessage, event.x, event.y, event.mouseKeys); break;
        case Kind::FilesDropped: {
            // A name without a Shift-JIS form cannot be handed on.
            std::vector<std::string> windowsPaths;
            for (const std::string& file : event.files) {
                std::string windowsPath;
                if (HostToWindowsPath(file, windowsPath)) windowsPaths.push_back(std::move(windowsPath));
            }
            if (upward.postDroppedFiles != nullptr) upward.postDroppedFiles(window, std::move(windowsPaths));
            break;
        }
    }
}

}  // namespace

void PumpHostEvents() {
    if (!OnHostVideoThread()) return;
    VideoAdapter& video = HostVideo();
    HostEvent event;
    while (video.PollEvent(event)) Deliver(event);
    MirrorHostWindows();
}

}  // namespace platform::detail
