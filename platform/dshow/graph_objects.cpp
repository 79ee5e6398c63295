// Questions asked of pins and filters, media types freed and copied, and the
// enumerators over fixed lists.
#include "platform/dshow/graph_objects.h"

#include <cstring>

namespace platform::dshow {

std::vector<Ref<IPin>> PinsOf(IBaseFilter* filter) {
    std::vector<Ref<IPin>> pins;
    Ref<IEnumPins> enumerator;
    if (filter == nullptr || FAILED(filter->EnumPins(enumerator.out())) || !enumerator) return pins;
    for (;;) {
        IPin* pin = nullptr;
        ULONG fetched = 0;
        if (enumerator->Next(1, &pin, &fetched) != S_OK || fetched != 1 || pin == nullptr) break;
        pins.emplace_back(pin);
    }
    return pins;
}

PIN_DIRECTION DirectionOf(IPin* pin) {
    PIN_DIRECTION direction = PINDIR_INPUT;
    pin->QueryDirection(&direction);
    return direction;
}

Ref<IPin> PeerOf(IPin* pin) {
    Ref<IPin> peer;
    if (FAILED(pin->ConnectedTo(peer.out()))) return Ref<IPin>();
    return peer;
}

Ref<IBaseFilter> FilterOf(IPin* pin) {
    PIN_INFO info{};
    if (FAILED(pin->QueryPinInfo(&info))) return Ref<IBaseFilter>();
    return Ref<IBaseFilter>(info.pFilter);
}

bool SameObject(IUnknown* a, IUnknown* b) {
    if (a == nullptr || b == nullptr) return a == b;
    const Ref<IUnknown> first = Ref<IUnknown>::Query(a, IID_IUnknown);
    const Ref<IUnknown> second = Ref<IUnknown>::Query(b, IID_IUnknown);
    return first.get() == second.get();
}

void FreeMediaType(AM_MEDIA_TYPE& type) {
    CoTaskMemFree(type.pbFormat);
    type.pbFormat = nullptr;
    type.cbFormat = 0;
    const Ref<IUnknown> held(std::exchange(type.pUnk, nullptr));
}

void DeleteMediaType(AM_MEDIA_TYPE* type) {
    if (type == nullptr) return;
    FreeMediaType(*type);
    CoTaskMemFree(type);
}

bool CopyMediaType(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source) {
    target = source;
    target.pbFormat = nullptr;
    target.cbFormat = 0;
    target.pUnk = nullptr;
    if (source.cbFormat != 0 && source.pbFormat != nullptr) {
        target.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
        if (target.pbFormat == nullptr) return false;
        std::memcpy(target.pbFormat, source.pbFormat, source.cbFormat);
        target.cbFormat = source.cbFormat;
    }
    target.pUnk = Ref<IUnknown>::Share(source.pUnk).Detach();
    return true;
}

namespace {

// Hands out the items of a list made when the enumerator was.
template <class Interface, class Item>
class ListEnumerator final : public com::Object<ListEnumerator<Interface, Item>, Interface> {
public:
    explicit ListEnumerator(std::vector<Ref<Item>> items) : items_(std::move(items)) {}

    HRESULT WINAPI Next(ULONG count, Item** items, ULONG* fetched) override {
        if (items == nullptr) return E_POINTER;
        if (fetched == nullptr && count != 1) return E_INVALIDARG;
        ULONG made = 0;
        while (made < count && position_ < items_.size()) {
            items[made++] = Ref<Item>(items_[position_++]).Detach();
        }
        if (fetched != nullptr) *fetched = made;
        return made == count ? S_OK : S_FALSE;
    }

    HRESULT WINAPI Reset() override {
        position_ = 0;
        return S_OK;
    }

private:
    std::vector<Ref<Item>> items_;
    size_t position_ = 0;
};

class EmptyMediaTypes final : public com::Object<EmptyMediaTypes, IEnumMediaTypes> {
public:
    HRESULT WINAPI Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override {
        if (types == nullptr) return E_POINTER;
        if (fetched != nullptr) *fetched = 0;
        return count == 0 ? S_OK : S_FALSE;
    }
    HRESULT WINAPI Reset() override { return S_OK; }
};

// Hands out copies of the types it was made with.
class MediaTypeList final : public com::Object<MediaTypeList, IEnumMediaTypes> {
public:
    ~MediaTypeList() override {
        for (AM_MEDIA_TYPE& type : types_) FreeMediaType(type);
    }

    bool Add(const AM_MEDIA_TYPE& type) {
        types_.emplace_back();
        return CopyMediaType(types_.back(), type);
    }

    HRESULT WINAPI Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override {
        if (types == nullptr) return E_POINTER;
        if (fetched == nullptr && count != 1) return E_INVALIDARG;
        ULONG made = 0;
        while (made < count && position_ < types_.size()) {
            auto* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
            if (copy == nullptr) break;
            if (!CopyMediaType(*copy, types_[position_])) {
                FreeMediaType(*copy);
                CoTaskMemFree(copy);
                break;
            }
            ++position_;
            types[made++] = copy;
        }
        if (fetched != nullptr) *fetched = made;
        return made == count ? S_OK : S_FALSE;
    }

    HRESULT WINAPI Reset() override {
        position_ = 0;
        return S_OK;
    }

private:
    std::vector<AM_MEDIA_TYPE> types_;
    size_t position_ = 0;
};

}  // namespace

HRESULT MakeMediaTypeEnumerator(const std::vector<const AM_MEDIA_TYPE*>& types, IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    *enumerator = nullptr;
    Ref<MediaTypeList> list(new MediaTypeList);
    for (const AM_MEDIA_TYPE* type : types)
        if (!list->Add(*type)) return E_OUTOFMEMORY;
    *enumerator = list.Detach();
    return S_OK;
}

HRESULT MakePinEnumerator(std::vector<Ref<IPin>> pins, IEnumPins** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    return ListEnumerator<IEnumPins, IPin>::Create(IID_IEnumPins, reinterpret_cast<void**>(enumerator),
                                                   std::move(pins));
}

HRESULT MakeFilterEnumerator(std::vector<Ref<IBaseFilter>> filters, IEnumFilters** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    return ListEnumerator<IEnumFilters, IBaseFilter>::Create(IID_IEnumFilters, reinterpret_cast<void**>(enumerator),
                                                             std::move(filters));
}

HRESULT MakeEmptyMediaTypeEnumerator(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    return EmptyMediaTypes::Create(IID_IEnumMediaTypes, reinterpret_cast<void**>(enumerator));
}

}  // namespace platform::dshow
