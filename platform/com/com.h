// Component objects: HRESULT results, class and interface identifiers, the
// IUnknown base every object derives from, per-thread initialisation
// (CoInitialize/CoUninitialize) and CoCreateInstance over a table of our own
// classes.
//
// Stands in for the component-object library the framework calls. Left out:
// apartments beyond a per-thread count, marshalling, the registry, class
// factories that can be registered at run time, out-of-process servers.
// Built on nothing of the host; the classes are those the platform's folders
// register (platform/registrations.h).
#pragma once

#include "platform/win_types.h"

typedef const GUID& REFGUID;
typedef const GUID& REFCLSID;
typedef const GUID& REFIID;
typedef GUID CLSID;
typedef GUID IID;

#define CLSCTX_INPROC_SERVER 0x1u
#define CLSCTX_INPROC_HANDLER 0x2u
// Any kind of server: in process, in a handler, local or remote.
#define CLSCTX_ALL 0x17u

#define E_NOTIMPL ((HRESULT)0x80004001u)
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#define E_POINTER ((HRESULT)0x80004003u)
#define E_FAIL ((HRESULT)0x80004005u)
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#define E_INVALIDARG ((HRESULT)0x80070057u)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110u)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154u)
// A thread that is not initialised calls an object-creating function.
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0u)

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) return false;
    }
    return true;
}
inline bool IsEqualIID(REFIID a, REFIID b) { return IsEqualGUID(a, b); }
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return IsEqualGUID(a, b); }

inline constexpr GUID IID_IUnknown = {0x00000000u, 0x0000u, 0x0000u,
                                      {0xC0u, 0x00u, 0x00u, 0x00u, 0x00u, 0x00u, 0x00u, 0x46u}};

// The base of every object: reference counting and interface lookup.
struct IUnknown {
    virtual HRESULT WINAPI QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG WINAPI AddRef() = 0;
    virtual ULONG WINAPI Release() = 0;

protected:
    // Objects are destroyed by their last Release, never through this base.
    ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

// Initialises the library on the calling thread: S_OK the first time, S_FALSE
// when this thread has already initialised it (each success still needs its
// own CoUninitialize).
HRESULT WINAPI CoInitialize(LPVOID reserved);
// Balances one successful CoInitialize on the calling thread; a call with no
// initialisation left does nothing.
void WINAPI CoUninitialize(void);
// Whether the calling thread holds at least one initialisation.
bool CoIsInitialisedOnThisThread();

// Creates an object of class `clsid` and returns its `iid` interface.
// Aggregation (`outer` not null) is refused with CLASS_E_NOAGGREGATION; a
// class not in the table gives REGDB_E_CLASSNOTREG.
HRESULT WINAPI CoCreateInstance(const GUID& clsid, void* outer, DWORD context, const GUID& iid,
                                void** object);
