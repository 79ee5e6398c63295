// What each platform folder adds to the process's two lookup tables: its
// classes, which CoCreateInstance makes, and its system libraries with the
// calls programs look up by name, which LoadLibraryA and GetProcAddress find.
// And the calls that a folder answers for a folder below it (UpwardCalls).
// Private to the platform.
//
// A folder that adds anything has a file platform/<folder>/<folder>_registrations.cpp
// that defines
//     void platform::<folder>::Register(platform::Registrations& registrations);
// The build gathers those files into one generated list that calls each of
// them (platform/CMakeLists.txt), and the tables read the result on their
// first use. Adding a folder therefore means adding files in that folder
// only.
//
// Why a generated list rather than objects that register themselves while
// the program starts: the platform is a static library, and the linker
// leaves out every object file that nothing refers to, so such an object
// would quietly go missing from any program that does not happen to call
// into its file. The list names every folder's function, so all of them are
// linked; and because it runs on first use, not during static
// initialisation, the order of the files cannot matter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/com.h"
#include "platform/kernel/kernel.h"

namespace platform {

// Makes a new object of the class and returns its `iid` interface with one
// reference, or fails (E_NOINTERFACE for an interface the class lacks).
typedef HRESULT (*ClassFactory)(REFIID iid, void** object);
// Whether the class is there to be made now (the machine profile may say it
// is not installed); null: always.
typedef bool (*ClassPresence)();

struct RegisteredClass {
    CLSID clsid;
    ClassFactory factory;
    ClassPresence present;
};

// A call that programs look up by name rather than link to, so that they
// can run where it is missing.
struct RegisteredExport {
    const char* name;
    FARPROC entry;
};

// A system library: its name as LoadLibraryA takes it (any letter case, with
// or without ".dll") and its calls found through GetProcAddress.
struct RegisteredLibrary {
    std::string name;
    std::vector<RegisteredExport> exports;
};

// The calls that a folder makes into a folder above it. Folders include only
// the folders below them, so the folder above answers these in its
// registrations; each comment says what happens while no folder answers.
struct UpwardCalls {
    // The window system hands the display's input method reports on to the
    // input method (platform/imm; see platform/imm/input_method_feed.h).
    // Unanswered: nothing is composed and committed text is typed.
    bool (*showComposition)(HWND window, const std::string& shiftJis, DWORD cursorBytes) = nullptr;
    bool (*commitComposition)(HWND window, const std::string& shiftJis) = nullptr;
    // The window system hands files dropped on a window on to the shell
    // (platform/shell; see platform/shell/dropped_files_feed.h). Unanswered:
    // the drop is lost.
    bool (*postDroppedFiles)(HWND window, std::vector<std::string> windowsPaths) = nullptr;
    // SDL2's test hooks (platform/host/sdl_host.h) ask the window system
    // (platform/user) which display window shows a window: the display's
    // id, 0 for none. Unanswered: none.
    uint32_t (*shownWindowOf)(HWND window) = nullptr;
};

class Registrations {
public:
    void AddClass(REFCLSID clsid, ClassFactory factory, ClassPresence present = nullptr) {
        classes_.push_back(RegisteredClass{clsid, factory, present});
    }
    void AddLibrary(std::string name, std::vector<RegisteredExport> exports = {}) {
        libraries_.push_back(RegisteredLibrary{std::move(name), std::move(exports)});
    }

    const std::vector<RegisteredClass>& Classes() const { return classes_; }
    const std::vector<RegisteredLibrary>& Libraries() const { return libraries_; }

    // The folder that answers a call sets it here.
    UpwardCalls& Upward() { return upward_; }
    const UpwardCalls& Upward() const { return upward_; }

private:
    std::vector<RegisteredClass> classes_;
    std::vector<RegisteredLibrary> libraries_;
    UpwardCalls upward_;
};

// A call as an export entry, whatever its own signature.
template <class Function>
FARPROC ExportEntry(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

// Every folder's registrations, made once, on the first call, in the order
// of the folders' names.
const Registrations& AllRegistrations();

}  // namespace platform
