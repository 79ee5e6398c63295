// What the graph manager and the platform's filters share: a holder of one
// interface reference, the questions asked of pins and filters, media types
// freed, and the enumerators over lists of pins and filters. Private to
// platform/dshow.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/dshow/dshow.h"
#include "platform/dshow/interface_ids.h"

namespace platform::dshow {

// Holds one reference and releases it when it goes.
template <class Interface>
class Ref {
public:
    Ref() = default;
    // Takes over a reference the caller already holds.
    explicit Ref(Interface* held) : held_(held) {}
    Ref(const Ref& other) : held_(other.held_) {
        if (held_ != nullptr) held_->AddRef();
    }
    Ref(Ref&& other) noexcept : held_(std::exchange(other.held_, nullptr)) {}
    Ref& operator=(Ref other) {
        std::swap(held_, other.held_);
        return *this;
    }
    ~Ref() {
        if (held_ != nullptr) held_->Release();
    }

    // Adds a reference of its own to `pointer`.
    static Ref Share(Interface* pointer) {
        if (pointer != nullptr) pointer->AddRef();
        return Ref(pointer);
    }
    // The object's `iid` interface, or empty.
    template <class Other>
    static Ref Query(Other* object, REFIID iid) {
        void* found = nullptr;
        if (object == nullptr || FAILED(object->QueryInterface(iid, &found))) return Ref();
        return Ref(static_cast<Interface*>(found));
    }

    Interface* get() const { return held_; }
    Interface* operator->() const { return held_; }
    explicit operator bool() const { return held_ != nullptr; }
    // For calls that hand out a reference.
    Interface** out() {
        *this = Ref();
        return &held_;
    }
    // Hands the reference to the caller, who releases it; the holder is
    // empty after.
    Interface* Detach() { return std::exchange(held_, nullptr); }

private:
    Interface* held_ = nullptr;
};

// The pins of a filter, in its order.
std::vector<Ref<IPin>> PinsOf(IBaseFilter* filter);
PIN_DIRECTION DirectionOf(IPin* pin);
// The pin at the other end, or empty.
Ref<IPin> PeerOf(IPin* pin);
// The filter the pin belongs to.
Ref<IBaseFilter> FilterOf(IPin* pin);
// Whether two interface pointers are the same object.
bool SameObject(IUnknown* a, IUnknown* b);

// Frees what a media type holds (format block, pUnk), or the whole type.
void FreeMediaType(AM_MEDIA_TYPE& type);
void DeleteMediaType(AM_MEDIA_TYPE* type);
// A deep copy into `target`; false when memory runs out.
bool CopyMediaType(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source);

// An enumerator over a fixed list, each with its own references.
HRESULT MakePinEnumerator(std::vector<Ref<IPin>> pins, IEnumPins** enumerator);
HRESULT MakeFilterEnumerator(std::vector<Ref<IBaseFilter>> filters, IEnumFilters** enumerator);
// An enumerator of no media types.
HRESULT MakeEmptyMediaTypeEnumerator(IEnumMediaTypes** enumerator);
// An enumerator of copies of `types`.
HRESULT MakeMediaTypeEnumerator(const std::vector<const AM_MEDIA_TYPE*>& types, IEnumMediaTypes** enumerator);

}  // namespace platform::dshow
