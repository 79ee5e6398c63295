// Full paths from relative ones, with "." and ".." resolved. Both forms work
// through the same steps; the strict form differs in how it reads leading
// separators and in refusing empty components.
#include "framework/files/full_path.h"

#include <cstring>

#include "framework/base/base_functions.h"
#include "framework/files/file_access_table.h"
#include "framework/files/path_text.h"
#include "platform/platform.h"

namespace {

int Refuse(char* output) {
    output[0] = '\0';
    return -1;
}

int ConvertToFullPath(const char* path, char* output, const char* base, bool strict) {
    char currentDirectory[MAX_PATH + 1] = {};
    if (base == nullptr) {
        FileAccessTableInForce.getDirectory(currentDirectory);
        currentDirectory[MAX_PATH] = '\0';
        base = currentDirectory;
    }
    BoundedPathBuilder builder(output, MAX_PATH);
    if (path == nullptr) return builder.Append(base, std::strlen(base)) ? 0 : Refuse(output);

    // The prefix, and where the components begin.
    size_t index = 0;
    bool prefixed;
    const bool doubleSeparator =
        (path[0] == '\\' && path[1] == '\\') || (path[0] == '/' && path[1] == '/');
    if (doubleSeparator && !strict) {
        prefixed = builder.Append("\\", 1);  // the first component brings the second: UNC
        index = 2;
    } else if (path[0] == '\\' || (strict && path[0] == '/')) {
        prefixed = builder.Append(base, base[0] == '\0' ? 0 : (base[1] == '\0' ? 1 : 2));
        index = 1;
    } else if (path[0] != '\0' && path[1] == ':') {
        prefixed = builder.Append(path, 2);
        index = path[2] == '\\' || (strict && path[2] == '/') ? 3 : 2;
    } else {
        prefixed = builder.Append(base, LengthWithoutTrailingSeparator(base));
    }
    if (!prefixed) return Refuse(output);

    char component[MAX_PATH];
    size_t componentLength = 0;
    while (path[index] != '\0') {
        if (IsPathSeparator(path[index])) {
            ++index;
            const bool dot = componentLength == 1 && component[0] == '.';
            const bool dotDot = componentLength == 2 && component[0] == '.' && component[1] == '.';
            if (componentLength == 0) {
                if (strict) return Refuse(output);
            } else if (dotDot) {
                builder.StepBack();
            } else if (!dot && !builder.AppendComponent(component, componentLength)) {
                return Refuse(output);
            }
            componentLength = 0;
            continue;
        }
        const size_t length = PathCharacterLength(path + index);
        if (componentLength + length >= sizeof(component)) return Refuse(output);
        CopyMemoryBytes(component + componentLength, path + index, static_cast<uint32_t>(length));
        componentLength += length;
        index += length;
    }
    // The last component is a name whatever it is, "." and ".." included.
    if (componentLength > 0 && !builder.AppendComponent(component, componentLength))
        return Refuse(output);
    return 0;
}

}  // namespace

int ToFullPath(const char* path, char* output, const char* baseFolder) {
    return ConvertToFullPath(path, output, baseFolder, false);
}

int ToFullPathStrict(const char* path, char* output, const char* baseFolder) {
    return ConvertToFullPath(path, output, baseFolder, true);
}
