// Message boxes. The host has no dialog of ours to show, so a box is written
// to the standard error stream (in UTF-8) and answered at once with the
// button a user would most often press; tests take the boxes through a sink.
#include <cstdio>
#include <mutex>

#include "platform/profile/machine_profile.h"
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
    return DefaultAnswer(type);
}
