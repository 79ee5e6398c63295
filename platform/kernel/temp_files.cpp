// Temporary files: GetTempPathA and GetTempFileNameA.
//
// The temporary folder is the host's: $TMPDIR when it holds an absolute
// path, else /tmp, shown Windows-shaped with a closing backslash. Its
// existence is not checked, as Windows does not check it either.
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/kernel/kernel.h"
#include "platform/kernel/path_mapping.h"
#include "platform/kernel/shift_jis.h"

namespace {

// Bytes of the folder that GetTempFileNameA accepts: room is left for
// "\", three prefix characters, four hex digits, ".tmp" and the terminator.
constexpr size_t kLongestTempFolder = MAX_PATH - 14;

// The numbers GetTempFileNameA tries, 1 to 0xFFFF, shared by all calls of the
// process so that each call starts on a name no earlier call has taken.
UINT NextUniqueNumber() {
    static std::atomic<uint32_t> counter{static_cast<uint32_t>(time(nullptr)) ^
                                         (static_cast<uint32_t>(getpid()) << 4)};
    for (;;) {
        const UINT number = counter.fetch_add(1) & 0xFFFFu;
        if (number != 0) return number;
    }
}

std::string TempFileName(const std::string& stem, UINT number) {
    char digits[8];
    std::snprintf(digits, sizeof(digits), "%X", number & 0xFFFFu);
    return stem + digits + ".tmp";
}

}  // namespace

DWORD WINAPI GetTempPathA(DWORD bufferLength, LPSTR buffer) {
    std::string host = "/tmp";
    if (const char* configured = std::getenv("TMPDIR"); configured != nullptr && configured[0] == '/')
        host = configured;
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    std::string windowsPath;
    if (!platform::detail::HostToWindowsPath(host, windowsPath)) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    if (platform::detail::LastComponentOffset(windowsPath.c_str()) != windowsPath.size()) windowsPath += '\\';
    if (windowsPath.size() >= MAX_PATH) {  // no file could be made in it
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    // Too small a buffer gets the size it needs, terminator included, and
    // nothing written.
    const size_t needed = windowsPath.size() + 1;
    if (buffer == nullptr || bufferLength < needed) return static_cast<DWORD>(needed);
    std::memcpy(buffer, windowsPath.c_str(), needed);
    return static_cast<DWORD>(windowsPath.size());
}

// The name is the folder, a backslash when it has none at its end, the first
// three characters of the prefix, the number in hex and ".tmp". With a
// number of 0 a free number is looked for and the file is created empty;
// otherwise only the name is made, from the number's low 16 bits. The result
// is written to a buffer of MAX_PATH bytes, as the caller provides.
UINT WINAPI GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR tempFileName) {
    if (path == nullptr || tempFileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (strnlen(path, kLongestTempFolder + 1) > kLongestTempFolder) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return 0;
    }
    std::string stem = path;
    if (!stem.empty() && platform::detail::LastComponentOffset(path) != stem.size()) stem += '\\';
    // Three characters, a double-byte character counting as one.
    for (int characters = 0; prefix != nullptr && *prefix != '\0' && characters < 3; ++characters) {
        if (platform::IsShiftJisLeadByte(static_cast<unsigned char>(*prefix))) {
            if (prefix[1] == '\0') break;  // half a character
            stem += *prefix++;
        }
        stem += *prefix++;
    }
    if (stem.size() + 4 + 4 >= MAX_PATH) {  // the longest name would not fit
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return 0;
    }

    if (unique != 0) {
        const std::string name = TempFileName(stem, unique);
        std::memcpy(tempFileName, name.c_str(), name.size() + 1);
        SetLastError(ERROR_SUCCESS);
        return unique;
    }
    for (UINT attempt = 0; attempt < 0xFFFFu; ++attempt) {
        const UINT number = NextUniqueNumber();
        const std::string name = TempFileName(stem, number);
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            std::memcpy(tempFileName, name.c_str(), name.size() + 1);
            SetLastError(ERROR_SUCCESS);
            return number;
        }
        // The name is taken (by a file, or by a folder, which refuses with
        // ERROR_ACCESS_DENIED); any other failure ends the search.
        const DWORD error = GetLastError();
        const bool taken = error == ERROR_FILE_EXISTS ||
                           (error == ERROR_ACCESS_DENIED &&
                            GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES);
        if (!taken) {
            SetLastError(error);
            return 0;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}
