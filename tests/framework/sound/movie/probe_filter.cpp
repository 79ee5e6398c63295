#include "tests/framework/sound/movie/probe_filter.h"

#include <algorithm>

namespace probe {

namespace {

constexpr GUID kProbeClass = {0x50524F42u, 9, 0, {0, 0, 0, 0, 0, 0, 0, 9}};

bool Accepts(const Settings& settings, const K_CMediaType* type) {
    if (!IsEqualGUID(*type->Type(), MEDIATYPE_Video)) return false;
    return std::any_of(settings.accepted.begin(), settings.accepted.end(),
                       [&](const GUID& subtype) { return IsEqualGUID(subtype, *type->Subtype()); });
}

HRESULT Offer(const Settings& settings, int position, K_CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position >= static_cast<int>(settings.offered.size())) return VFW_S_NO_MORE_ITEMS;
    *type = Typed(settings.offered[static_cast<size_t>(position)]);
    return S_OK;
}

}  // namespace

K_CMediaType Typed(const GUID& subtype) {
    K_CMediaType type;
    type.SetType(&MEDIATYPE_Video);
    type.SetSubtype(&subtype);
    type.SetFormatType(&FORMAT_VideoInfo);
    type.SetSampleSize(16);
    return type;
}

ProbeInput::ProbeInput(ProbeFilter* filter, HRESULT* result)
    : K_CBaseInputPin("ProbeInput", filter, filter->FilterLock(), result, L"In"), probe_(filter) {}

HRESULT ProbeInput::CheckMediaType(const K_CMediaType* type) {
    return Accepts(probe_->settings(), type) ? S_OK : S_FALSE;
}

HRESULT ProbeInput::GetMediaType(int position, K_CMediaType* type) {
    return Offer(probe_->settings(), position, type);
}

HRESULT ProbeInput::CompleteConnect(IPin* receivePin) {
    return probe_->settings().failComplete ? E_FAIL : K_CBaseInputPin::CompleteConnect(receivePin);
}

HRESULT ProbeInput::BreakConnect() {
    ++probe_->breaks;
    return K_CBaseInputPin::BreakConnect();
}

HRESULT WINAPI ProbeInput::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (probe_->settings().ownAllocatorOnly) {
        IMemAllocator* own = nullptr;
        GetAllocator(&own);
        own->Release();
        if (own != allocator) return E_FAIL;
    }
    return K_CBaseInputPin::NotifyAllocator(allocator, readOnly);
}

HRESULT WINAPI ProbeInput::Receive(IMediaSample* sample) {
    const HRESULT result = K_CBaseInputPin::Receive(sample);
    if (result != S_OK) return result;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    Received received{std::vector<uint8_t>(data, data + sample->GetActualDataLength()), -1, Allocator()};
    REFERENCE_TIME end = 0;
    sample->GetTime(&received.start, &end);
    probe_->Keep(std::move(received));
    return S_OK;
}

HRESULT WINAPI ProbeInput::EndOfStream() {
    const HRESULT result = CheckStreaming();
    if (result != S_OK) return result;
    return probe_->NotifyEvent(EC_COMPLETE, S_OK, 0);
}

ProbeOutput::ProbeOutput(ProbeFilter* filter, HRESULT* result)
    : K_CBaseOutputPin("ProbeOutput", filter, filter->FilterLock(), result, L"Out"), probe_(filter) {}

HRESULT ProbeOutput::CheckMediaType(const K_CMediaType* type) {
    return Accepts(probe_->settings(), type) ? S_OK : S_FALSE;
}

HRESULT ProbeOutput::GetMediaType(int position, K_CMediaType* type) {
    return Offer(probe_->settings(), position, type);
}

HRESULT ProbeOutput::CompleteConnect(IPin* receivePin) {
    return probe_->settings().failComplete ? E_FAIL : K_CBaseOutputPin::CompleteConnect(receivePin);
}

HRESULT ProbeOutput::BreakConnect() {
    ++probe_->breaks;
    return K_CBaseOutputPin::BreakConnect();
}

HRESULT ProbeOutput::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    ALLOCATOR_PROPERTIES wanted{1, 16, 1, 0};
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(&wanted, &actual);
}

ProbeFilter::ProbeFilter(PIN_DIRECTION direction, Settings settings)
    : K_CBaseFilter("ProbeFilter", nullptr, &lock_, kProbeClass), settings_(std::move(settings)) {
    HRESULT result = S_OK;
    if (direction == PINDIR_INPUT)
        pin_ = new ProbeInput(this, &result);
    else
        pin_ = new ProbeOutput(this, &result);
}

ProbeFilter::~ProbeFilter() { delete pin_; }

std::vector<Received> ProbeFilter::AllReceived() {
    std::lock_guard<std::mutex> hold(receivedLock_);
    return received_;
}

void ProbeFilter::Keep(Received received) {
    std::lock_guard<std::mutex> hold(receivedLock_);
    received_.push_back(std::move(received));
}

}  // namespace probe
