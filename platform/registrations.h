// What each platform folder adds to the process's two lookup tables: its
// classes, which CoCreateInstance makes, and its system libraries with the
// calls programs look up by name, which LoadLibraryA and GetProcAddress find.
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

private:
    std::vector<RegisteredClass> classes_;
    std::vector<RegisteredLibrary> libraries_;
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
