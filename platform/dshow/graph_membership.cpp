// The filters in a graph: adding them under unique names, removing them with
// their connections, listing them, connecting and disconnecting pins by hand,
// and letting them all go when the graph goes.
#include <cstdio>

#include "platform/dshow/filter_graph.h"
#include "platform/profile/machine_profile.h"

namespace platform::dshow {

namespace {

// Names are kept to what FILTER_INFO holds.
constexpr size_t kLongestName = 127;

}  // namespace

HRESULT CreateFilterGraph(REFIID iid, void** object) { return FilterGraph::Create(iid, object); }

FilterGraph::~FilterGraph() {
    // Every streaming thread ends with its filter's Stop; only then are the
    // connections undone (they hold the filters in a ring) and the filters
    // let go.
    Stop();
    for (const Member& member : members_) {
        for (const Ref<IPin>& pin : PinsOf(member.filter.get())) pin->Disconnect();
    }
    for (const Member& member : members_) member.filter->JoinFilterGraph(nullptr, nullptr);
    members_.clear();
}

HRESULT WINAPI FilterGraph::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IFilterGraph)) {
        *object = static_cast<IFilterGraph*>(static_cast<IGraphBuilder*>(this));
    } else if (IsEqualIID(iid, IID_IPersist)) {
        *object = static_cast<IPersist*>(static_cast<IMediaFilter*>(this));
    } else {
        return Object::QueryInterface(iid, object);
    }
    AddRef();
    return S_OK;
}

bool FilterGraph::IsMember(IBaseFilter* filter) const {
    for (const Member& member : members_)
        if (SameObject(member.filter.get(), filter)) return true;
    return false;
}

bool FilterGraph::NameTaken(const std::wstring& name) const {
    for (const Member& member : members_)
        if (member.name == name) return true;
    return false;
}

std::vector<Ref<IBaseFilter>> FilterGraph::Filters() const {
    std::vector<Ref<IBaseFilter>> filters;
    for (const Member& member : members_) filters.push_back(member.filter);
    return filters;
}

bool FilterGraph::PinInGraph(IPin* pin) const {
    const Ref<IBaseFilter> owner = FilterOf(pin);
    return owner && IsMember(owner.get());
}

bool FilterGraph::IsRenderer(IBaseFilter* filter) {
    bool fedInput = false;
    for (const Ref<IPin>& pin : PinsOf(filter)) {
        if (!PeerOf(pin.get())) continue;
        if (DirectionOf(pin.get()) == PINDIR_OUTPUT) return false;
        fedInput = true;
    }
    return fedInput;
}

HRESULT WINAPI FilterGraph::AddFilter(IBaseFilter* filter, LPCWSTR name) {
    if (filter == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (IsMember(filter)) return E_INVALIDARG;
    if (++addFilterCalls_ == Profile().failures.directShow.addFilter) return E_OUTOFMEMORY;

    std::wstring wanted = name != nullptr ? name : L"";
    if (wanted.size() > kLongestName) wanted.resize(kLongestName);
    std::wstring unique = wanted;
    HRESULT outcome = S_OK;
    // A name in use gets " 0001", " 0002", ... until it is free.
    for (int number = 1; NameTaken(unique); ++number) {
        if (number > 9999) return E_FAIL;
        wchar_t suffix[8];
        std::swprintf(suffix, 8, L" %04d", number);
        unique = wanted.substr(0, kLongestName - 5) + suffix;
        outcome = VFW_S_DUPLICATE_NAME;
    }

    members_.push_back(Member{Ref<IBaseFilter>::Share(filter), unique});
    const HRESULT joined = filter->JoinFilterGraph(static_cast<IGraphBuilder*>(this), unique.c_str());
    if (FAILED(joined)) {
        members_.pop_back();
        return joined;
    }
    // A filter that joins a graph on its way picks up the graph's clock then.
    if (state_.load() == State_Stopped && clockChosen_) filter->SetSyncSource(clock_.get());
    return outcome;
}

HRESULT WINAPI FilterGraph::RemoveFilter(IBaseFilter* filter) {
    if (filter == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    for (auto member = members_.begin(); member != members_.end(); ++member) {
        if (!SameObject(member->filter.get(), filter)) continue;
        if (state_.load() != State_Stopped) return VFW_E_NOT_STOPPED;
        const Ref<IBaseFilter> leaving = member->filter;
        for (const Ref<IPin>& pin : PinsOf(leaving.get())) {
            if (const Ref<IPin> peer = PeerOf(pin.get())) peer->Disconnect();
            pin->Disconnect();
        }
        members_.erase(member);
        leaving->JoinFilterGraph(nullptr, nullptr);
        return S_OK;
    }
    return VFW_E_NOT_FOUND;
}

HRESULT WINAPI FilterGraph::EnumFilters(IEnumFilters** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    return MakeFilterEnumerator(Filters(), enumerator);
}

HRESULT WINAPI FilterGraph::ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* mediaType) {
    if (output == nullptr || input == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (state_.load() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!PinInGraph(output) || !PinInGraph(input)) return VFW_E_NOT_IN_GRAPH;
    if (DirectionOf(output) != PINDIR_OUTPUT || DirectionOf(input) != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    return output->Connect(input, mediaType);
}

HRESULT WINAPI FilterGraph::Disconnect(IPin* pin) {
    if (pin == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    return pin->Disconnect();
}

}  // namespace platform::dshow
