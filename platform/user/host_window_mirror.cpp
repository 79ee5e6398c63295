// Mirroring: each window of the host thread shown by the display's window
// of the size of its client area, with its title, frame, icon, placement and
// the pixels GDI drew into it; and the cursor and screen-saver switches.
#include <algorithm>
#include <set>

#include "platform/kernel/kernel.h"
#include "platform/user/host_display.h"
#include "platform/user/host_text.h"
#include "platform/user/window_system.h"
#include "platform/user/window_system_events.h"

namespace platform::detail {
namespace {

HostWindowId OpenShownWindow(VideoAdapter& video, const WindowMirror& mirror) {
    return video.OpenWindow(ShiftJisToHostText(mirror.text), mirror.client, mirror.bordered, mirror.resizable);
}

void Mirror(VideoAdapter& video, ShownWindow& shown, const WindowMirror& mirror) {
    const HostWindowId id = shown.id;
    if (mirror.text != shown.text) {
        video.SetTitle(id, ShiftJisToHostText(mirror.text));
        shown.text = mirror.text;
    }
    if (mirror.bordered != shown.bordered || mirror.resizable != shown.resizable || mirror.topmost != shown.topmost) {
        video.SetStyle(id, mirror.bordered, mirror.resizable, mirror.topmost);
        shown.bordered = mirror.bordered;
        shown.resizable = mirror.resizable;
        shown.topmost = mirror.topmost;
    }
    if (mirror.icon != shown.icon) {
        IconPixels icons;
        // The stock icon has no pixels: the host's own stays.
        if (IconPixelsOf(mirror.icon, icons)) video.SetIcon(id, icons.width, icons.height, icons.pixels.data());
        shown.icon = mirror.icon;
    }
    if (mirror.visible != shown.visible) {
        video.Show(id, mirror.visible);
        shown.visible = mirror.visible;
    }
    // A hidden window takes its placement when it shows.
    if (mirror.visible && mirror.placement != shown.placement) {
        video.Place(id, mirror.placement);
        shown.placement = mirror.placement;
    }
    // Only the normal placement is ours to place; the host places the others.
    if (mirror.placement == Placement::Normal && shown.placement == Placement::Normal) {
        const RECT& client = mirror.client;
        if (client.left != shown.client.left || client.top != shown.client.top)
            video.Move(id, client.left, client.top);
        if (Width(client) != Width(shown.client) || Height(client) != Height(shown.client))
            video.Resize(id, Width(client), Height(client));
        shown.client = client;
    }
    if (mirror.raise && mirror.visible) video.Raise(id);
    if (mirror.pixelsChanged) video.Present(id, mirror.pixelWidth, mirror.pixelHeight, mirror.pixels.data());
}

}  // namespace

ShownWindows& Shown() {
    static ShownWindows* shown = new ShownWindows;
    return *shown;
}

ShownWindow* FindShownWindowById(HostWindowId id) {
    for (auto& [handle, window] : Shown().windows)
        if (window.id == id) return &window;
    return nullptr;
}

HostWindowId HostWindowOf(HWND window) {
    auto found = Shown().windows.find(window);
    return found != Shown().windows.end() ? found->second.id : 0;
}

void MirrorHostWindows() {
    if (!OnHostVideoThread()) return;
    VideoAdapter& video = HostVideo();
    const std::vector<WindowMirror> mirrors = TakeWindowMirrors(GetCurrentThreadId());
    ShownWindows& host = Shown();
    std::set<HWND> present;
    for (const WindowMirror& mirror : mirrors) {
        present.insert(mirror.handle);
        auto found = host.windows.find(mirror.handle);
        if (found == host.windows.end()) {
            const HostWindowId id = OpenShownWindow(video, mirror);
            if (id == 0) continue;  // the window stays a record
            ShownWindow opened;
            opened.handle = mirror.handle;
            opened.id = id;
            opened.text = mirror.text;
            opened.client = mirror.client;
            opened.bordered = mirror.bordered;
            opened.resizable = mirror.resizable;
            found = host.windows.emplace(mirror.handle, opened).first;
        }
        Mirror(video, found->second, mirror);
    }
    for (auto entry = host.windows.begin(); entry != host.windows.end();) {
        if (present.count(entry->first) != 0) {
            ++entry;
            continue;
        }
        video.CloseWindow(entry->second.id);
        entry = host.windows.erase(entry);
    }

    const bool cursorShown = CursorShown();
    if (cursorShown != host.cursorShown) {
        video.ShowCursor(cursorShown);
        host.cursorShown = cursorShown;
    }
    const bool screenSaverAllowed = ScreenSaverAllowed();
    if (screenSaverAllowed != host.screenSaverAllowed) {
        video.AllowScreenSaver(screenSaverAllowed);
        host.screenSaverAllowed = screenSaverAllowed;
    }
}

void StopHostDisplay() {
    // The adapter closes the windows it shows as it stops.
    StopHostVideo();
    Shown() = ShownWindows{};
}

}  // namespace platform::detail
