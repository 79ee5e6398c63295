// Message boxes. A box is written to the standard error stream (in UTF-8)
// and, on a display that a user sees, shown as the display's own dialog,
// which waits for a button; without such a display it is answered at once
// with the button a user would most often press. Tests take the boxes
// through a sink.
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/host/host_video.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/host_display.h"
#include "platform/user/host_text.h"
#include "platform/user/message_box_sink.h"

namespace {

struct SinkState {
    std::mutex lock;
    std::function<int(const platform::MessageBoxRecord&)> sink;
};

SinkState& State() {
    static SinkState state;
    return state;
}

void ResetSink() { platform::SetMessageBoxSink({}); }

const platform::ResetHook kSinkReset(ResetSink);

int DefaultAnswer(UINT type) { return (type & 0x0Fu) == MB_YESNO ? IDYES : IDOK; }

// The buttons as the system labels them; Return presses the first, Escape
// the one that declines (OK when it is alone).
std::vector<platform::MessageBoxButton> Buttons(UINT type) {
    switch (type & 0x0Fu) {
        case MB_OKCANCEL: return {{"OK", IDOK, true, false}, {"キャンセル", IDCANCEL, false, true}};
        case MB_YESNO: return {{"はい", IDYES, true, false}, {"いいえ", IDNO, false, true}};
        default: return {{"OK", IDOK, true, true}};
    }
}

platform::MessageBoxIcon Icon(UINT type) {
    switch (type & 0xF0u) {
        case MB_ICONHAND: return platform::MessageBoxIcon::Error;
        case MB_ICONQUESTION: return platform::MessageBoxIcon::Question;
        case MB_ICONEXCLAMATION: return platform::MessageBoxIcon::Warning;
        case MB_ICONINFORMATION: return platform::MessageBoxIcon::Information;
        default: return platform::MessageBoxIcon::Plain;
    }
}

// The box on the display, over its owner's window when the owner is shown
// there; false when the display shows no dialog.
bool ShowOnDisplay(const platform::MessageBoxRecord& record, const std::string& title, int& answer) {
    platform::VideoAdapter& video = platform::HostVideo();
    const platform::HostWindowId owner =
        record.owner != nullptr && platform::OnHostVideoThread() ? platform::detail::HostWindowOf(record.owner) : 0;
    return video.ShowMessageBox(owner, title, platform::detail::ShiftJisToHostText(record.text), Icon(record.type),
                                Buttons(record.type), answer);
}

}  // namespace

namespace platform {

void SetMessageBoxSink(std::function<int(const MessageBoxRecord&)> sink) {
    SinkState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.sink = std::move(sink);
}

}  // namespace platform

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    platform::MessageBoxRecord record;
    record.owner = owner;
    record.text = text != nullptr ? text : "";
    record.hasCaption = caption != nullptr;
    record.caption = caption != nullptr ? caption : "";
    record.type = type;
    std::function<int(const platform::MessageBoxRecord&)> sink;
    {
        SinkState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        sink = state.sink;
    }
    if (sink) return sink(record);
    // A box without a caption is titled "Error" by the system.
    const std::string title = record.hasCaption ? platform::detail::ShiftJisToHostText(record.caption) : "Error";
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), platform::detail::ShiftJisToHostText(record.text).c_str());
    std::fflush(stderr);
    int answer = 0;
    if (ShowOnDisplay(record, title, answer)) return answer;
    return DefaultAnswer(type);
}
