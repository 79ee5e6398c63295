// The non-delegating unknown: reference count, self-deletion and the IUnknown
// answer.
#include "framework/sound/movie/delegating_unknown.h"

K_CUnknown::K_CUnknown(const char* objectName, IUnknown* owner)
    : objectName_(objectName), inner_(this), owner_(owner != nullptr ? owner : &inner_) {}

HRESULT K_CUnknown::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown)) return K_GetInterface(&inner_, object);
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG K_CUnknown::NonDelegatingAddRef() { return static_cast<ULONG>(references_.fetch_add(1) + 1); }

ULONG K_CUnknown::NonDelegatingRelease() {
    // The thread that drops the last reference sees every write made before
    // the other releases.
    const LONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return static_cast<ULONG>(left > 0 ? left : 0);
}

HRESULT K_GetInterface(IUnknown* unknown, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = unknown;
    unknown->AddRef();
    return S_OK;
}
