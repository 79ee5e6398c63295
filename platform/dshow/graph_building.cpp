// Building a graph: connecting two pins through filters of the registry,
// rendering an output pin (first into filters already in the graph, then
// through the registry until the stream ends in a renderer) and rendering a
// file through the first file source that loads it. A failed attempt leaves
// the graph as it found it.
#include "platform/dshow/filter_graph.h"
#include "platform/profile/machine_profile.h"

namespace platform::dshow {

namespace {

// How many filters a chain built by the graph may have: enough for a
// splitter, decoder and converter, and an end to converters that would
// otherwise feed one another for ever.
constexpr int kLongestChain = 8;

// The kinds of stream an output pin offers.
std::vector<RegisteredMediaType> OfferedTypes(IPin* output) {
    std::vector<RegisteredMediaType> offered;
    Ref<IEnumMediaTypes> types;
    if (FAILED(output->EnumMediaTypes(types.out())) || !types) return offered;
    for (;;) {
        AM_MEDIA_TYPE* type = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &type, &fetched) != S_OK || fetched != 1 || type == nullptr) break;
        offered.push_back(RegisteredMediaType{type->majortype, type->subtype});
        DeleteMediaType(type);
    }
    return offered;
}

std::vector<Ref<IPin>> FreePins(IBaseFilter* filter, PIN_DIRECTION direction) {
    std::vector<Ref<IPin>> free;
    for (Ref<IPin>& pin : PinsOf(filter))
        if (DirectionOf(pin.get()) == direction && !PeerOf(pin.get())) free.push_back(std::move(pin));
    return free;
}

Ref<IBaseFilter> Make(const RegisteredFilter& entry) {
    void* made = nullptr;
    if (entry.create == nullptr || FAILED(entry.create(IID_IBaseFilter, &made)) || made == nullptr)
        return Ref<IBaseFilter>();
    return Ref<IBaseFilter>(static_cast<IBaseFilter*>(made));
}

}  // namespace

template <class Next>
HRESULT FilterGraph::ConnectToFreeInput(IPin* output, IBaseFilter* filter, Next next) {
    HRESULT failure = VFW_E_CANNOT_CONNECT;
    for (const Ref<IPin>& input : FreePins(filter, PINDIR_INPUT)) {
        if (FAILED(output->Connect(input.get(), nullptr))) continue;
        const HRESULT result = next();
        if (SUCCEEDED(result)) return result;
        failure = result;
        input->Disconnect();
        output->Disconnect();
    }
    return failure;
}

HRESULT WINAPI FilterGraph::Connect(IPin* output, IPin* input) {
    if (output == nullptr || input == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (state_.load() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!PinInGraph(output) || !PinInGraph(input)) return VFW_E_NOT_IN_GRAPH;
    if (DirectionOf(output) != PINDIR_OUTPUT || DirectionOf(input) != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    if (PeerOf(output) || PeerOf(input)) return VFW_E_ALREADY_CONNECTED;
    if (Profile().failures.directShow.connect) return VFW_E_CANNOT_CONNECT;
    if (SUCCEEDED(output->Connect(input, nullptr))) return S_OK;
    return SUCCEEDED(ConnectThroughRegistry(output, input, 0)) ? S_OK : VFW_E_CANNOT_CONNECT;
}

HRESULT FilterGraph::ConnectThroughRegistry(IPin* output, IPin* input, int depth) {
    if (depth >= kLongestChain) return VFW_E_CANNOT_CONNECT;
    const std::vector<RegisteredMediaType> offered = OfferedTypes(output);
    for (const RegisteredFilter& entry : RegisteredFilters()) {
        if (entry.fileSource || !TakesAnyOf(entry.inputTypes, offered)) continue;
        const Ref<IBaseFilter> between = Make(entry);
        if (!between || FAILED(AddFilter(between.get(), entry.name.c_str()))) continue;
        const HRESULT result = ConnectToFreeInput(output, between.get(), [&]() -> HRESULT {
            for (const Ref<IPin>& onward : FreePins(between.get(), PINDIR_OUTPUT)) {
                if (SUCCEEDED(onward->Connect(input, nullptr))) return S_OK;
                if (SUCCEEDED(ConnectThroughRegistry(onward.get(), input, depth + 1))) return S_OK;
            }
            return VFW_E_CANNOT_CONNECT;
        });
        if (SUCCEEDED(result)) return S_OK;
        RemoveFilter(between.get());
    }
    return VFW_E_CANNOT_CONNECT;
}

HRESULT WINAPI FilterGraph::Render(IPin* output) {
    if (output == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (state_.load() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (DirectionOf(output) != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (PeerOf(output)) return VFW_E_ALREADY_CONNECTED;
    if (Profile().failures.directShow.render) return VFW_E_CANNOT_RENDER;
    const HRESULT result = RenderPin(output, 0);
    return SUCCEEDED(result) ? result : VFW_E_CANNOT_RENDER;
}

HRESULT FilterGraph::RenderPin(IPin* output, int depth) {
    if (depth >= kLongestChain) return VFW_E_CANNOT_RENDER;
    const Ref<IBaseFilter> owner = FilterOf(output);

    // Filters already in the graph come first: a renderer the program put
    // there, or a filter it wants in the stream.
    for (const Ref<IBaseFilter>& present : Filters()) {
        if (SameObject(present.get(), owner.get())) continue;
        const HRESULT result =
            ConnectToFreeInput(output, present.get(), [&] { return RenderOutputs(present.get(), depth + 1); });
        if (SUCCEEDED(result)) return result;
    }

    const std::vector<RegisteredMediaType> offered = OfferedTypes(output);
    for (const RegisteredFilter& entry : RegisteredFilters()) {
        if (entry.fileSource || !TakesAnyOf(entry.inputTypes, offered)) continue;
        const Ref<IBaseFilter> next = Make(entry);
        if (!next || FAILED(AddFilter(next.get(), entry.name.c_str()))) continue;
        const HRESULT result =
            ConnectToFreeInput(output, next.get(), [&] { return RenderOutputs(next.get(), depth + 1); });
        if (SUCCEEDED(result)) return result;
        RemoveFilter(next.get());
    }
    return VFW_E_CANNOT_RENDER;
}

HRESULT FilterGraph::RenderOutputs(IBaseFilter* filter, int depth) {
    const std::vector<Ref<IPin>> outputs = FreePins(filter, PINDIR_OUTPUT);
    // A filter with nowhere further to send its stream ends it.
    if (outputs.empty()) return S_OK;
    int rendered = 0;
    for (const Ref<IPin>& output : outputs)
        if (SUCCEEDED(RenderPin(output.get(), depth))) ++rendered;
    if (rendered == 0) return VFW_E_CANNOT_RENDER;
    return rendered == static_cast<int>(outputs.size()) ? S_OK : VFW_S_PARTIAL_RENDER;
}

HRESULT WINAPI FilterGraph::RenderFile(LPCWSTR file, LPCWSTR playList) {
    if (file == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (state_.load() != State_Stopped) return VFW_E_NOT_STOPPED;
    HRESULT failure = VFW_E_UNSUPPORTED_STREAM;
    bool loaded = false;
    for (const RegisteredFilter& entry : RegisteredFilters()) {
        if (!entry.fileSource) continue;
        const Ref<IBaseFilter> source = Make(entry);
        const Ref<IFileSourceFilter> loader = Ref<IFileSourceFilter>::Query(source.get(), IID_IFileSourceFilter);
        if (!loader) continue;
        const HRESULT load = loader->Load(file, nullptr);
        if (FAILED(load)) {
            if (!loaded) failure = load;
            continue;
        }
        loaded = true;
        if (FAILED(AddFilter(source.get(), file))) continue;
        const HRESULT result = RenderOutputs(source.get(), 0);
        if (SUCCEEDED(result)) return result;
        RemoveFilter(source.get());
        failure = VFW_E_CANNOT_RENDER;
    }
    return failure;
}

}  // namespace platform::dshow
