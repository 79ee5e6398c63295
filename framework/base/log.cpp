// The log file and its debugger copy: time stamps, indents, lines written in
// pieces, and LF written as CR LF.
#include "framework/base/log.h"

#include <cstdarg>
#include <cstring>

#include "framework/base/base_functions.h"
#include "framework/base/format_text.h"
#include "framework/base/framework_state.h"
#include "framework/base/tracked_memory.h"
#include "platform/platform.h"

int LogFileDisabled = 0;
// Named from the start, so that a text written before StartLogFile cannot
// make the path name the directory itself.
char LogFileName[256] = "Log.txt";
int LogIndentDepth = 0;
int LogMidLine = 0;
uint32_t LogStartTime = 0;

namespace {

constexpr size_t LogLocalBufferSize = 256;
constexpr size_t LogFormatBufferSize = 1024;

// Writes `text` with every LF turned into CR LF into `out` (when not null) and
// returns the converted length. A text that already holds CR LF is taken to be
// converted from there on: the rest is copied as it is.
size_t ConvertLineFeeds(const char* text, size_t length, char* out) {
    size_t written = 0;
    auto put = [&](const char* bytes, size_t count) {
        if (out != nullptr) CopyMemoryBytes(out + written, bytes, static_cast<uint32_t>(count));
        written += count;
    };
    const char* segment = text;
    for (;;) {
        const char* lineFeed = FindCharInMultiByteString(segment, '\n');
        if (lineFeed == nullptr) break;
        if (lineFeed != text && lineFeed[-1] == '\r') break;
        put(segment, static_cast<size_t>(lineFeed - segment));
        put("\r\n", 2);
        segment = lineFeed + 1;
    }
    put(segment, static_cast<size_t>(text + length - segment));
    if (out != nullptr) out[written] = '\0';
    return written;
}

// True when the last character of `path` is a one-byte backslash: the second
// byte of a two-byte character may be 0x5C too.
bool EndsWithPathSeparator(const char* path) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(path);
    bool separator = false;
    while (*p != 0) {
        if (IsShiftJisLeadByte(*p) && p[1] != 0) {
            separator = false;
            p += 2;
        } else {
            separator = (*p == '\\');
            p++;
        }
    }
    return separator;
}

// StartDirectory, a separator when needed, and the file name; false when the
// whole does not fit.
bool BuildLogFilePath(char (&path)[MAX_PATH]) {
    const char* separator = EndsWithPathSeparator(StartDirectory) ? "" : "\\";
    const size_t need =
        std::strlen(StartDirectory) + std::strlen(separator) + std::strlen(LogFileName) + 1;
    if (need > sizeof(path)) return false;
    CopyString(path, StartDirectory);
    AppendString(path, separator);
    AppendString(path, LogFileName);
    return true;
}

void WriteToFileAndDebugger(HANDLE file, const char* text, size_t length) {
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
    OutputDebugStringA(text);
}

void WriteLineStart(HANDLE file) {
    char stamp[32];
    FormatString(stamp, sizeof(stamp), "%d:", static_cast<int>(timeGetTime() - LogStartTime));
    WriteToFileAndDebugger(file, stamp, std::strlen(stamp));

    char tabs[65];
    FillMemoryBytes(tabs, '\t', sizeof(tabs) - 1);
    for (int left = LogIndentDepth; left > 0;) {
        const int count = left < 64 ? left : 64;
        tabs[count] = '\0';
        WriteToFileAndDebugger(file, tabs, static_cast<size_t>(count));
        tabs[count] = '\t';
        left -= count;
    }
}

}  // namespace

int SetLogFileOutput(int flag) {
    LogFileDisabled = flag == 0 ? 1 : 0;
    return 0;
}

int StartLogFile() {
    if (LogFileDisabled) return 1;
    CopyString(LogFileName, "Log.txt");
    DeleteFileA(LogFileName);
    HANDLE file = CreateFileA(LogFileName, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    LogIndentDepth = 0;
    LogMidLine = 0;
    LogStartTime = timeGetTime();
    return 1;
}

int WriteLogLine(const char* text) {
    const size_t length = std::strlen(text);
    // Nothing to write: neither a time stamp without a text nor a change of
    // the line state.
    if (length == 0) return -1;

    const size_t convertedLength = ConvertLineFeeds(text, length, nullptr);
    char localBuffer[LogLocalBufferSize];
    char* work = localBuffer;
    void* allocated = nullptr;
    if (length >= LogLocalBufferSize || convertedLength + 1 > LogLocalBufferSize) {
        allocated = AllocMemory(convertedLength + 1, nullptr, -1);
        if (allocated == nullptr) return -1;
        work = static_cast<char*>(allocated);
    }
    ConvertLineFeeds(text, length, work);

    char path[MAX_PATH];
    if (!LogFileDisabled && StartDirectory[0] != '\0' && BuildLogFilePath(path)) {
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            SetFilePointer(file, 0, nullptr, FILE_END);
            if (!LogMidLine) WriteLineStart(file);
            WriteToFileAndDebugger(file, work, convertedLength);
            LogMidLine = work[convertedLength - 1] != '\n' ? 1 : 0;
            CloseHandle(file);
        }
    }

    FreeMemory(allocated);
    return -1;
}

int WriteLogFormat(const char* format, ...) {
    char buffer[LogFormatBufferSize];
    va_list arguments;
    va_start(arguments, format);
    // One byte is kept back for the line end.
    const int length = FormatStringV(buffer, sizeof(buffer) - 1, format, arguments);
    va_end(arguments);
    buffer[length] = '\n';
    buffer[length + 1] = '\0';
    return WriteLogLine(buffer);
}

int IncreaseLogDepth() {
    LogIndentDepth++;
    return 0;
}

int DecreaseLogDepth() {
    if (LogIndentDepth > 0) LogIndentDepth--;
    return 0;
}
