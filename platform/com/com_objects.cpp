// CoCreateInstance over the classes the platform's folders register. A class
// may be missing on the simulated machine, and then it cannot be made.
#include "platform/com/com.h"
#include "platform/registrations.h"

HRESULT WINAPI CoCreateInstance(const GUID& clsid, void* outer, DWORD context, const GUID& iid,
                                void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (!CoIsInitialisedOnThisThread()) return CO_E_NOTINITIALIZED;
    // Every class here lives in the calling process.
    if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    for (const platform::RegisteredClass& entry : platform::AllRegistrations().Classes()) {
        if (IsEqualCLSID(entry.clsid, clsid) && (entry.present == nullptr || entry.present()))
            return entry.factory(iid, object);
    }
    return REGDB_E_CLASSNOTREG;
}
