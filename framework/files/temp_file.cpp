// Temporary files: a unique name in the system's temporary folder, made into
// a full path and created anew for writing.
#include "framework/files/temp_file.h"

#include "framework/base/base_functions.h"
#include "framework/files/full_path.h"
#include "platform/platform.h"

namespace {

constexpr DWORD TempFolderBufferLength = 256;

// Whether the text ends in a backslash of its own (not a trail byte).
bool EndsWithBackslash(const char* text) {
    bool ends = false;
    for (size_t i = 0; text[i] != '\0';) {
        const bool lead = IsShiftJisLeadByte(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0';
        ends = !lead && text[i] == '\\';
        i += lead ? 2 : 1;
    }
    return ends;
}

}  // namespace

HANDLE CreateTempFile(char* pathBuffer) {
    char folder[TempFolderBufferLength + 1];
    const DWORD length = GetTempPathA(TempFolderBufferLength, folder);
    // A result of the buffer's length or more is the size it would need.
    if (length == 0 || length >= TempFolderBufferLength) return nullptr;
    if (!EndsWithBackslash(folder)) AppendString(folder, "\\");

    char name[MAX_PATH];
    if (GetTempFileNameA(folder, "tmp", 0, name) == 0) return nullptr;
    char fullPath[MAX_PATH];
    if (ToFullPathStrict(name, fullPath, nullptr) != 0) {
        DeleteFileA(name);  // made by GetTempFileNameA; no one else knows it
        return nullptr;
    }
    DeleteFileA(fullPath);
    HANDLE file = CreateFileA(fullPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    if (pathBuffer != nullptr) CopyString(pathBuffer, fullPath);
    return file;
}
