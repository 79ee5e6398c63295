// CoCreateInstance over the table of our own classes. The table is filled
// once, on first use, by each folder that offers classes; a class may be
// missing on the simulated machine, and then it is not registered.
#include <mutex>
#include <vector>

#include "platform/com/com_registry.h"

namespace platform::com {
namespace {

struct ClassEntry {
    CLSID clsid;
    ClassFactory factory;
    ClassPresence present;
};

struct ClassTable {
    std::mutex lock;
    std::vector<ClassEntry> entries;
};

ClassTable& Table() {
    static ClassTable* table = new ClassTable;  // outlives threads still running at exit
    return *table;
}

void FillTableOnce() {
    static std::once_flag filled;
    std::call_once(filled, [] { RegisterDirectInputClasses(); });
}

}  // namespace

void RegisterClass(REFCLSID clsid, ClassFactory factory, ClassPresence present) {
    ClassTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    for (ClassEntry& entry : table.entries) {
        if (IsEqualCLSID(entry.clsid, clsid)) {
            entry = ClassEntry{clsid, factory, present};
            return;
        }
    }
    table.entries.push_back(ClassEntry{clsid, factory, present});
}

}  // namespace platform::com

using namespace platform::com;

HRESULT WINAPI CoCreateInstance(const GUID& clsid, void* outer, DWORD context, const GUID& iid,
                                void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (!CoIsInitialisedOnThisThread()) return CO_E_NOTINITIALIZED;
    // Every class here lives in the calling process.
    if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    FillTableOnce();
    ClassFactory factory = nullptr;
    {
        ClassTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        for (const ClassEntry& entry : table.entries) {
            if (IsEqualCLSID(entry.clsid, clsid) && (entry.present == nullptr || entry.present())) {
                factory = entry.factory;
                break;
            }
        }
    }
    if (factory == nullptr) return REGDB_E_CLASSNOTREG;
    return factory(iid, object);
}
