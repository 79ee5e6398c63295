// The base of every object the platform hands out through an interface:
// the reference count and QueryInterface over the interfaces the class lists.
// Private to the platform.
//
//     class Device final : public com::Object<Device, IDevice7, IDevice8> { ... };
//
// The class derives from each listed interface; each interface names its id
// through a specialisation of InterfaceId next to where it is used. The
// first listed interface is the object's IUnknown, so every query for
// IUnknown gives the same pointer. An object is made with one reference and
// destroyed by the Release that takes its count to zero; work to do at that
// moment belongs in the class's destructor.
#pragma once

#include <atomic>
#include <utility>

#include "platform/com/com.h"

namespace platform::com {

// The id QueryInterface answers to for an interface type. Left undefined, so
// listing an interface without one is a compile error:
//     template <> struct InterfaceId<IFoo> { static constexpr const GUID& value = IID_IFoo; };
template <class Interface>
struct InterfaceId;

template <>
struct InterfaceId<IUnknown> {
    static constexpr const GUID& value = IID_IUnknown;
};

template <class Derived, class FirstInterface, class... OtherInterfaces>
class Object : public FirstInterface, public OtherInterfaces... {
public:
    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = Find(iid);
        if (*object == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    ULONG WINAPI AddRef() override { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG WINAPI Release() override {
        // The thread that releases the last reference must see every write
        // the others made before their own Release.
        const ULONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }

    // Makes an object and returns its `iid` interface with one reference;
    // when the object lacks that interface it is destroyed again and the
    // query's failure returned.
    template <class... Arguments>
    static HRESULT Create(REFIID iid, void** object, Arguments&&... arguments) {
        Derived* made = new Derived(std::forward<Arguments>(arguments)...);
        const HRESULT result = made->QueryInterface(iid, object);
        made->Release();
        return result;
    }

protected:
    Object() = default;
    virtual ~Object() = default;

    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

private:
    void* Find(REFIID iid) {
        if (IsEqualIID(iid, IID_IUnknown)) return static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
        void* found = nullptr;
        (void)(Offer<FirstInterface>(iid, found) || ... || Offer<OtherInterfaces>(iid, found));
        return found;
    }

    template <class Interface>
    bool Offer(REFIID iid, void*& found) {
        if (!IsEqualIID(iid, InterfaceId<Interface>::value)) return false;
        found = static_cast<Interface*>(this);
        return true;
    }

    std::atomic<ULONG> references_{1};
};

}  // namespace platform::com
