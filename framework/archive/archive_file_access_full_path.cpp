// The full, upper-cased form of a path, which the archive search walks folder
// by folder. Letters are upper-cased so that archive names and the remembered
// archive compare byte for byte whatever case a caller wrote; two-byte
// Shift-JIS characters are kept whole, so a trail byte is never a separator.
#include "framework/archive/archive_file_access.h"

#include <cstring>

#include "framework/base/base_functions.h"
#include "framework/files/path_text.h"
#include "platform/platform.h"

namespace {

size_t Length(const char* text) {
    size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

int Refuse(char* result) {
    result[0] = '\0';
    return -1;
}

// Applies one component at a separator, or (last) at the end of the path,
// where it is a name whatever it is.
bool ApplyComponent(BoundedPathBuilder& builder, const char* component, size_t length, bool last) {
    if (length == 0) return true;
    if (!last) {
        if (length == 1 && component[0] == '.') return true;
        if (length == 2 && component[0] == '.' && component[1] == '.') {
            builder.StepBack();
            return true;
        }
    }
    return builder.Append("\\", 1) && builder.Append(component, length);
}

}  // namespace

int ReadCurrentDirectory(char* buffer) {
    const DWORD got = GetCurrentDirectoryA(MAX_PATH, buffer);
    if (got != 0 && got < MAX_PATH) return 0;
    buffer[0] = '\0';
    return -1;
}

int ToUpperFullPath(const char* path, char* result) {
    char current[MAX_PATH];
    ReadCurrentDirectory(current);
    return ToUpperFullPathFrom(path, current, result);
}

int ToUpperFullPathFrom(const char* path, const char* currentDirectory, char* result) {
    // A directory too long for the system's own buffer counts as none.
    char current[MAX_PATH] = {};
    if (strnlen(currentDirectory, MAX_PATH) < MAX_PATH) CopyString(current, currentDirectory);
    UpperCaseMultiByteString(current);

    BoundedPathBuilder builder(result, ArchivePathBufferSize);
    if (path == nullptr) return builder.Append(current, Length(current)) ? 0 : Refuse(result);

    size_t index = 0;
    bool prefixed;
    if ((path[0] == '\\' && path[1] == '\\') || (path[0] == '/' && path[1] == '/')) {
        prefixed = builder.Append("\\", 1);  // the first component brings the second: UNC
        index = 2;
    } else if (IsPathSeparator(path[0])) {
        const size_t driveLength = current[0] == '\0' ? 0 : (current[1] == '\0' ? 1 : 2);
        prefixed = builder.Append(current, driveLength);
        index = 1;
    } else if (path[0] != '\0' && path[1] == ':') {
        char drive[2] = {path[0], ':'};
        if (drive[0] >= 'a' && drive[0] <= 'z') drive[0] = static_cast<char>(drive[0] - 0x20);
        prefixed = builder.Append(drive, 2);
        index = path[2] == '\\' ? 3 : 2;
    } else {
        prefixed = builder.Append(current, LengthWithoutTrailingSeparator(current));
    }
    if (!prefixed) return Refuse(result);

    char component[ArchivePathBufferSize];
    size_t componentLength = 0;
    while (path[index] != '\0') {
        if (IsPathSeparator(path[index])) {
            ++index;
            if (!ApplyComponent(builder, component, componentLength, false)) return Refuse(result);
            componentLength = 0;
            continue;
        }
        const size_t length = PathCharacterLength(path + index);
        if (componentLength + length >= sizeof(component)) return Refuse(result);
        char first = path[index];
        if (length == 1 && first >= 'a' && first <= 'z') first = static_cast<char>(first - 0x20);
        component[componentLength] = first;
        if (length == 2) component[componentLength + 1] = path[index + 1];
        componentLength += length;
        index += length;
    }
    if (!ApplyComponent(builder, component, componentLength, true)) return Refuse(result);
    return 0;
}
