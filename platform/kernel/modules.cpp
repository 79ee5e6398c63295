// The program's module and the built-in system libraries, as the platform's
// folders register them. The library records are made once and never
// removed, so their handles stay valid for the life of the process and
// loading one never fails once its name is known.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/kernel/module_exports.h"
#include "platform/registrations.h"

namespace {

struct BuiltInModule {
    std::string name;  // lower case, without ".dll"
    std::map<std::string, FARPROC> exports;
};

// The program's own module: a handle of its own that no library shares.
const unsigned char kProgramModule = 0;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// A library name in the form the records keep: lower case, without ".dll".
std::string FoldModuleName(const char* name) {
    std::string folded;
    for (const char* c = name; *c != '\0'; ++c) folded += LowerAscii(*c);
    if (folded.size() > 4 && folded.compare(folded.size() - 4, 4, ".dll") == 0) folded.resize(folded.size() - 4);
    return folded;
}

struct ModuleTable {
    std::mutex lock;  // guards the exports; the list of modules is fixed once made
    std::vector<BuiltInModule> modules;

    ModuleTable() {
        for (const platform::RegisteredLibrary& library : platform::AllRegistrations().Libraries()) {
            // Two folders may add calls to one library.
            BuiltInModule* module = Find(FoldModuleName(library.name.c_str()));
            if (module == nullptr) {
                modules.push_back(BuiltInModule{FoldModuleName(library.name.c_str()), {}});
                module = &modules.back();
            }
            for (const platform::RegisteredExport& entry : library.exports) module->exports[entry.name] = entry.entry;
        }
    }

    BuiltInModule* Find(const std::string& folded) {
        for (BuiltInModule& module : modules)
            if (module.name == folded) return &module;
        return nullptr;
    }
};

ModuleTable& Modules() {
    static ModuleTable* table = new ModuleTable;  // outlives threads still running at exit
    return *table;
}

// The record for a library name in any letter case, with or without ".dll".
BuiltInModule* FindModuleByName(const char* name) {
    if (name == nullptr) return nullptr;
    return Modules().Find(FoldModuleName(name));
}

// The record behind a handle, or null.
BuiltInModule* ModuleOfHandle(HMODULE handle) {
    for (BuiltInModule& module : Modules().modules)
        if (handle == static_cast<void*>(&module)) return &module;
    return nullptr;
}

HMODULE HandleOf(BuiltInModule* module) { return module; }
HMODULE ProgramModule() { return const_cast<unsigned char*>(&kProgramModule); }

}  // namespace

namespace platform {

bool RegisterModuleExport(const char* module, const char* name, FARPROC entry) {
    BuiltInModule* found = FindModuleByName(module);
    if (found == nullptr || name == nullptr) return false;
    std::lock_guard<std::mutex> guard(Modules().lock);
    found->exports[name] = entry;
    return true;
}

}  // namespace platform

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName == nullptr) return ProgramModule();
    BuiltInModule* module = FindModuleByName(moduleName);
    if (module == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return HandleOf(module);
}

HMODULE WINAPI LoadLibraryA(LPCSTR libraryName) {
    BuiltInModule* module = FindModuleByName(libraryName);
    if (module == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return HandleOf(module);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    if (ModuleOfHandle(module) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    BuiltInModule* library = ModuleOfHandle(module);
    if (library == nullptr && module != ProgramModule()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // The program exports nothing; a name below 0x10000 is an ordinal, which
    // no entry is registered by.
    if (library == nullptr || procName == nullptr || reinterpret_cast<uintptr_t>(procName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(Modules().lock);
    const auto found = library->exports.find(procName);
    if (found == library->exports.end()) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return found->second;
}
