// Path mapping. The drive letter (any) is the POSIX root; "\" and "/" both
// separate; "." and ".." are resolved by name, as Windows does, before the
// host sees the path; the whole path, current directory included, must fit
// in MAX_PATH. Components that do not exist as written are looked up in their
// folder without regard to the case of ASCII letters; the first component
// that is not found at all ends the matching, and the rest is taken as
// written (a file about to be created).
#include "platform/kernel/path_mapping.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/kernel/shift_jis.h"
#include "platform/profile/machine_profile.h"

namespace platform::detail {
namespace {

struct Component {
    std::string hostName;      // UTF-8
    size_t windowsLength = 0;  // bytes of the Shift-JIS name
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Splits Shift-JIS text at separators, stepping over the second byte of
// double-byte characters.
std::vector<std::string> SplitShiftJis(const char* text) {
    std::vector<std::string> names;
    std::string name;
    for (const char* p = text; *p != '\0'; ++p) {
        if (IsShiftJisLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
            name += p[0];
            name += p[1];
            ++p;
        } else if (IsSeparator(*p)) {
            if (!name.empty()) names.push_back(std::move(name));
            name.clear();
        } else {
            name += *p;
        }
    }
    if (!name.empty()) names.push_back(std::move(name));
    return names;
}

// Adds a name to the path being built, resolving "." and "..".
void Append(std::vector<Component>& path, Component component) {
    if (component.hostName == ".") return;
    if (component.hostName == "..") {
        if (!path.empty()) path.pop_back();
        return;
    }
    path.push_back(std::move(component));
}

bool AppendCurrentDirectory(std::vector<Component>& path) {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) return false;
        buffer.resize(buffer.size() * 2);
    }
    std::string name;
    auto flush = [&] {
        if (name.empty()) return;
        std::string windowsName;
        // A host name with no Shift-JIS form still counts with its own length.
        size_t length = Utf8ToShiftJis(name, windowsName) ? windowsName.size() : name.size();
        Append(path, Component{name, length});
        name.clear();
    };
    for (const char* p = buffer.data(); *p != '\0'; ++p) {
        if (*p == '/')
            flush();
        else
            name += *p;
    }
    flush();
    return true;
}

bool EqualIgnoringAsciiCase(const std::string& a, const char* b) {
    size_t length = std::strlen(b);
    if (a.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The entry of `folder` that matches `name` without regard to letter case;
// of several, the first in byte order, so the answer does not depend on the
// order the host lists them in.
bool FindIgnoringCase(const std::string& folder, const std::string& name, std::string& found) {
    DIR* directory = opendir(folder.empty() ? "/" : folder.c_str());
    if (directory == nullptr) return false;
    bool any = false;
    while (dirent* entry = readdir(directory)) {
        if (!EqualIgnoringAsciiCase(name, entry->d_name)) continue;
        if (!any || std::strcmp(entry->d_name, found.c_str()) < 0) found = entry->d_name;
        any = true;
    }
    closedir(directory);
    return any;
}

std::string ResolveOnHost(const std::vector<Component>& path) {
    std::string host;
    bool matching = true;
    for (const Component& component : path) {
        std::string written = host + "/" + component.hostName;
        struct stat info;
        if (!matching || lstat(written.c_str(), &info) == 0) {
            host = std::move(written);
            continue;
        }
        std::string match;
        if (FindIgnoringCase(host, component.hostName, match)) {
            host += "/" + match;
        } else {
            host = std::move(written);
            matching = false;
        }
    }
    return host.empty() ? "/" : host;
}

}  // namespace

bool MapPath(const char* windowsPath, std::string& hostPath, DWORD& error) {
    if (windowsPath == nullptr) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    const size_t length = strnlen(windowsPath, MAX_PATH);
    if (length >= MAX_PATH) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    if (length == 0) {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    const char* rest = windowsPath;
    bool hasDrive = std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':';
    if (hasDrive) rest += 2;
    std::vector<Component> path;
    if (!IsSeparator(rest[0]) && !AppendCurrentDirectory(path)) {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    for (std::string& name : SplitShiftJis(rest)) {
        Component component;
        if (!ShiftJisToUtf8(name, component.hostName)) {
            error = ERROR_INVALID_NAME;
            return false;
        }
        component.windowsLength = name.size();
        Append(path, std::move(component));
    }
    size_t windowsLength = 2;  // "C:", then "\name" for each name
    for (const Component& component : path) windowsLength += 1 + component.windowsLength;
    if (windowsLength >= MAX_PATH) {  // no room left for the terminator
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    hostPath = ResolveOnHost(path);
    return true;
}

size_t LastComponentOffset(const char* windowsPath) {
    size_t start = std::isalpha(static_cast<unsigned char>(windowsPath[0])) && windowsPath[1] == ':' ? 2 : 0;
    for (size_t i = start; windowsPath[i] != '\0'; ++i) {
        if (IsShiftJisLeadByte(static_cast<unsigned char>(windowsPath[i])) && windowsPath[i + 1] != '\0')
            ++i;
        else if (IsSeparator(windowsPath[i]))
            start = i + 1;
    }
    return start;
}

bool HostToWindowsPath(std::string_view hostPath, std::string& windowsPath) {
    // ASCII names are the same bytes in Shift-JIS: only others need converting.
    std::string converted;
    std::string_view shiftJis = hostPath;
    for (const char c : hostPath) {
        if (static_cast<unsigned char>(c) < 0x80) continue;
        if (!Utf8ToShiftJis(std::string(hostPath), converted)) return false;
        shiftJis = converted;
        break;
    }
    windowsPath.reserve(shiftJis.size() + 3);
    windowsPath = "C:";
    for (char c : shiftJis) windowsPath += c == '/' ? '\\' : c;
    if (windowsPath.size() == 2) windowsPath += '\\';
    return true;
}

}  // namespace platform::detail

namespace platform {

bool MapWindowsPath(const char* windowsPath, std::string& hostPath) {
    DWORD error = ERROR_SUCCESS;
    return detail::MapPath(windowsPath, hostPath, error);
}

}  // namespace platform
