// OutputDebugStringA writes to an in-memory sink that tests read back; with
// KILN_DEBUG_OUTPUT=1 in the environment it is also echoed to stderr, where a
// developer would otherwise have had a debugger's output window.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/kernel/debug_output_sink.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"

namespace {

struct DebugSink {
    std::mutex lock;
    std::string text;
};

DebugSink& Sink() {
    static DebugSink* sink = new DebugSink;  // used by threads still running at exit
    return *sink;
}

bool EchoToStandardError() {
    static const bool echo = [] {
        const char* setting = std::getenv("KILN_DEBUG_OUTPUT");
        return setting != nullptr && std::strcmp(setting, "1") == 0;
    }();
    return echo;
}

const platform::ResetHook kSinkReset(platform::ClearDebugOutput);

}  // namespace

void WINAPI OutputDebugStringA(LPCSTR text) {
    if (text == nullptr) return;
    DebugSink& sink = Sink();
    std::lock_guard<std::mutex> guard(sink.lock);
    sink.text += text;
    if (EchoToStandardError()) {
        std::fputs(text, stderr);
        std::fflush(stderr);
    }
}

namespace platform {

std::string DebugOutputText() {
    DebugSink& sink = Sink();
    std::lock_guard<std::mutex> guard(sink.lock);
    return sink.text;
}

void ClearDebugOutput() {
    DebugSink& sink = Sink();
    std::lock_guard<std::mutex> guard(sink.lock);
    sink.text.clear();
}

}  // namespace platform
