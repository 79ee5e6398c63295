// Window classes: RegisterClassExA and UnregisterClassA.
#include <algorithm>

#include "platform/kernel/kernel.h"
#include "platform/kernel/shift_jis.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

// The record's size in the 32-bit layout that the framework was written for.
constexpr UINT kWindowClassSize32 = 48;

std::vector<std::shared_ptr<WindowClassRecord>>& ClassesLocked() {
    static auto* classes = new std::vector<std::shared_ptr<WindowClassRecord>>;  // guarded by WindowLock()
    return *classes;
}

bool IsAtom(LPCSTR name) { return reinterpret_cast<ULONG_PTR>(name) <= 0xFFFF; }

}  // namespace

std::string FoldClassName(const char* name) {
    std::string folded;
    for (const char* at = name; *at != '\0'; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        if (IsShiftJisLeadByte(byte) && at[1] != '\0') {
            folded += *at++;
            folded += *at;
            continue;
        }
        folded += (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : *at;
    }
    return folded;
}

std::shared_ptr<WindowClassRecord> FindClassLocked(LPCSTR name) {
    if (name == nullptr) return nullptr;
    auto& classes = ClassesLocked();
    if (IsAtom(name)) {
        const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
        for (const auto& record : classes)
            if (record->atom == atom) return record;
        return nullptr;
    }
    const std::string folded = FoldClassName(name);
    for (const auto& record : classes)
        if (FoldClassName(record->name.c_str()) == folded) return record;
    return nullptr;
}

void ForgetAllClassesLocked() { ClassesLocked().clear(); }

}  // namespace platform::detail

using namespace platform::detail;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (windowClass == nullptr ||
        (windowClass->cbSize != sizeof(WNDCLASSEXA) && windowClass->cbSize != kWindowClassSize32) ||
        windowClass->lpszClassName == nullptr || IsAtom(windowClass->lpszClassName) ||
        windowClass->lpszClassName[0] == '\0' || windowClass->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> guard(WindowLock());
    if (FindClassLocked(windowClass->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    // Atoms of window classes lie in the string-atom range and are not reused.
    static ATOM nextAtom = 0xC000;
    if (nextAtom == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto record = std::make_shared<WindowClassRecord>();
    record->name = windowClass->lpszClassName;
    record->style = windowClass->style;
    record->procedure = windowClass->lpfnWndProc;
    record->instance = windowClass->hInstance;
    record->icon = windowClass->hIcon;
    record->smallIcon = windowClass->hIconSm;
    record->cursor = windowClass->hCursor;
    record->background = windowClass->hbrBackground;
    record->atom = nextAtom++;
    ClassesLocked().push_back(record);
    return record->atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowClassRecord> record = FindClassLocked(className);
    if (!record) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (record->windowCount > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    auto& classes = ClassesLocked();
    classes.erase(std::find(classes.begin(), classes.end(), record));
    return TRUE;
}
