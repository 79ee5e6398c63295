// FFmpeg's and ALSA's log handlers, set once for the process.
#include "platform/host/library_logs.h"

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "platform/kernel/kernel.h"

namespace platform {
namespace {

// FFmpeg's errors and worse, a line each as FFmpeg formats them.
void FfmpegLine(void* context, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_ERROR) return;
    char line[1024];
    int printPrefix = 1;
    va_list copy;
    va_copy(copy, arguments);
    av_log_format_line2(context, level, format, copy, line, sizeof(line), &printPrefix);
    va_end(copy);
    std::string text = std::string("FFmpeg: ") + line;
    if (text.empty() || text.back() != '\n') text += '\n';
    OutputDebugStringA(text.c_str());
}

// Whether an ALSA line is new: SDL2 looks for sound cards again every few
// seconds for as long as the program runs, and ALSA says the same each
// time.
bool FirstTimeSaid(const std::string& text) {
    static std::mutex* lock = new std::mutex;  // used by threads still running at exit
    static std::set<std::string>* said = new std::set<std::string>;
    std::lock_guard<std::mutex> guard(*lock);
    constexpr size_t kMostRemembered = 256;
    if (said->size() >= kMostRemembered) said->clear();
    return said->insert(text).second;
}

// ALSA's errors, a line each, each once.
void AlsaLine(const char* file, int line, const char* function, int error, const char* format, ...) {
    (void)file;
    (void)line;
    char message[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof(message), format, arguments);
    va_end(arguments);
    std::string text = std::string("ALSA: ") + (function != nullptr ? function : "") + ": " + message;
    if (error != 0) text += std::string(": ") + snd_strerror(error);
    text += '\n';
    if (FirstTimeSaid(text)) OutputDebugStringA(text.c_str());
}

}  // namespace

void QuietHostLibraryLogs() {
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_ERROR);
        av_log_set_callback(FfmpegLine);
        snd_lib_error_set_handler(AlsaLine);
    });
}

}  // namespace platform
