// The program's module and the built-in system libraries. The libraries are
// fixed records, so their handles stay valid for the life of the process and
// loading one never fails once its name is known.
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/kernel/kernel.h"
#include "platform/kernel/module_exports.h"
#include "platform/user/user_exports.h"

namespace {

struct BuiltInModule {
    const char* name;  // lower case, without ".dll"
};

// One record per interface the platform stands in for.
constexpr BuiltInModule kBuiltInModules[] = {
    {"kernel32"}, {"user32"}, {"gdi32"}, {"winmm"}, {"shell32"}, {"imm32"},
};
constexpr size_t kBuiltInModuleCount = sizeof(kBuiltInModules) / sizeof(kBuiltInModules[0]);
constexpr size_t kUser32Index = 1;
static_assert(std::string_view(kBuiltInModules[kUser32Index].name) == "user32");

// The program's own module: a handle of its own that no library shares.
const unsigned char kProgramModule = 0;

struct ExportTable {
    std::mutex lock;
    std::map<std::string, FARPROC> entries[kBuiltInModuleCount];

    // The platform's own by-name calls are filled in here rather than by each
    // call's object registering itself, which would happen only in programs
    // that link that object.
    ExportTable() {
        size_t count = 0;
        const platform::detail::NamedExport* user = platform::detail::UserExports(count);
        for (size_t i = 0; i < count; ++i) entries[kUser32Index][user[i].name] = user[i].entry;
    }
};

ExportTable& Exports() {
    static ExportTable table;
    return table;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The record for a library name in any letter case, with or without ".dll".
const BuiltInModule* FindModuleByName(const char* name) {
    if (name == nullptr) return nullptr;
    std::string folded;
    for (const char* c = name; *c != '\0'; ++c) folded += LowerAscii(*c);
    if (folded.size() > 4 && folded.compare(folded.size() - 4, 4, ".dll") == 0) folded.resize(folded.size() - 4);
    for (const BuiltInModule& module : kBuiltInModules)
        if (folded == module.name) return &module;
    return nullptr;
}

// The index of the library behind a handle, or -1.
int ModuleIndex(HMODULE handle) {
    for (size_t i = 0; i < kBuiltInModuleCount; ++i)
        if (handle == static_cast<const void*>(&kBuiltInModules[i])) return static_cast<int>(i);
    return -1;
}

HMODULE HandleOf(const BuiltInModule* module) { return const_cast<BuiltInModule*>(module); }
HMODULE ProgramModule() { return const_cast<unsigned char*>(&kProgramModule); }

}  // namespace

namespace platform {

bool RegisterModuleExport(const char* module, const char* name, FARPROC entry) {
    const BuiltInModule* found = FindModuleByName(module);
    if (found == nullptr || name == nullptr) return false;
    ExportTable& table = Exports();
    std::lock_guard<std::mutex> guard(table.lock);
    table.entries[found - kBuiltInModules][name] = entry;
    return true;
}

}  // namespace platform

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName == nullptr) return ProgramModule();
    const BuiltInModule* module = FindModuleByName(moduleName);
    if (module == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return HandleOf(module);
}

HMODULE WINAPI LoadLibraryA(LPCSTR libraryName) {
    const BuiltInModule* module = FindModuleByName(libraryName);
    if (module == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return HandleOf(module);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    if (ModuleIndex(module) < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    const int index = ModuleIndex(module);
    if (index < 0 && module != ProgramModule()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // The program exports nothing; a name below 0x10000 is an ordinal, which
    // no entry is registered by.
    if (index < 0 || procName == nullptr || reinterpret_cast<uintptr_t>(procName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    ExportTable& table = Exports();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto found = table.entries[index].find(procName);
    if (found == table.entries[index].end()) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return found->second;
}
