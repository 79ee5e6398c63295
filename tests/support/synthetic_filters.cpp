#include "tests/support/synthetic_filters.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "platform/dshow/filter_registry.h"

namespace testsupport {

namespace {

constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002u);

std::mutex registeredLock;
SyntheticStream registeredStream;

int32_t Rgb32Pitch(int32_t width) { return width * 4; }

}  // namespace

uint8_t SyntheticPixel(int frame, int x, int y, int channel) {
    switch (channel) {
        case 0:
            return static_cast<uint8_t>(x * 7 + frame);
        case 1:
            return static_cast<uint8_t>(y * 13 + frame);
        default:
            return static_cast<uint8_t>(frame * 31 + x + y);
    }
}

int32_t Rgb24Pitch(int32_t width) { return (width * 3 + 3) / 4 * 4; }

std::vector<uint8_t> SyntheticFrameTopDown(const SyntheticStream& stream, int frame) {
    const int32_t pitch = Rgb24Pitch(stream.width);
    std::vector<uint8_t> bytes(static_cast<size_t>(pitch) * static_cast<size_t>(stream.height), 0);
    for (int y = 0; y < stream.height; ++y)
        for (int x = 0; x < stream.width; ++x)
            for (int channel = 0; channel < 3; ++channel)
                bytes[static_cast<size_t>(y * pitch + x * 3 + channel)] = SyntheticPixel(frame, x, y, channel);
    return bytes;
}

K_CMediaType VideoType(const GUID& subtype, int32_t width, int32_t height, bool bottomUp, WORD bitCount) {
    K_CMediaType type;
    type.SetType(&MEDIATYPE_Video);
    type.SetSubtype(&subtype);
    type.SetFormatType(&FORMAT_VideoInfo);
    const int64_t pitch = bitCount == 32 ? Rgb32Pitch(width) : Rgb24Pitch(width);
    // Sizes too large for a frame still make a type (that renderers refuse).
    const auto frameBytes = static_cast<DWORD>(pitch * height);
    VIDEOINFOHEADER info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = bottomUp ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = frameBytes;
    type.SetFormat(reinterpret_cast<const BYTE*>(&info), sizeof(info));
    type.SetSampleSize(frameBytes);
    return type;
}

// ---- the source -------------------------------------------------------------------

SyntheticSourcePin::SyntheticSourcePin(SyntheticSource* source, HRESULT* result)
    : K_CBaseOutputPin("SyntheticSourcePin", source, source->FilterLock(), result, L"Output"), source_(source) {}

SyntheticSourcePin::~SyntheticSourcePin() { StopStreaming(); }

HRESULT SyntheticSourcePin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IMediaSeeking)) return K_GetInterface(static_cast<IMediaSeeking*>(this), object);
    return K_CBaseOutputPin::NonDelegatingQueryInterface(iid, object);
}

HRESULT SyntheticSourcePin::CheckMediaType(const K_CMediaType* type) {
    return *type == source_->Offered() ? S_OK : S_FALSE;
}

HRESULT SyntheticSourcePin::GetMediaType(int position, K_CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = source_->Offered();
    return S_OK;
}

HRESULT SyntheticSourcePin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    const SyntheticStream& stream = source_->Stream();
    const LONG frameBytes = Rgb24Pitch(stream.width) * stream.height;
    if (request->cBuffers < 2) request->cBuffers = 2;
    if (request->cbBuffer < frameBytes) request->cbBuffer = frameBytes;
    if (request->cbAlign < 1) request->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT result = allocator->SetProperties(request, &actual);
    if (FAILED(result)) return result;
    return actual.cbBuffer >= frameBytes ? S_OK : E_FAIL;
}

HRESULT SyntheticSourcePin::Active() {
    const HRESULT result = K_CBaseOutputPin::Active();
    if (FAILED(result)) return result;
    StartStreaming();
    return S_OK;
}

HRESULT SyntheticSourcePin::Inactive() {
    // The thread may wait for a buffer: the decommit wakes it.
    stopping_.store(true);
    const HRESULT result = K_CBaseOutputPin::Inactive();
    StopStreaming();
    return result;
}

void SyntheticSourcePin::StartStreaming() {
    stopping_.store(false);
    reached_.store(position_);
    LONGLONG stop = 0;
    GetStopPosition(&stop);
    DeliverNewSegment(position_, stop, 1.0);
    const int first = static_cast<int>(position_ / source_->Stream().frameDuration);
    const LONGLONG segmentStart = position_;
    thread_ = std::thread([this, first, segmentStart] { Stream(first, segmentStart); });
}

void SyntheticSourcePin::StopStreaming() {
    stopping_.store(true);
    if (thread_.joinable()) thread_.join();
}

void SyntheticSourcePin::Stream(int first, REFERENCE_TIME segmentStart) {
    const SyntheticStream& stream = source_->Stream();
    const int32_t pitch = Rgb24Pitch(stream.width);
    const LONG frameBytes = pitch * stream.height;
    for (int frame = first; stream.frames < 0 || frame < stream.frames; ++frame) {
        if (stopping_.load()) return;
        if (stop_ >= 0 && frame * stream.frameDuration >= stop_) break;
        IMediaSample* sample = nullptr;
        if (FAILED(GetDeliveryBuffer(&sample, nullptr, nullptr, 0))) return;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        const std::vector<uint8_t> top = SyntheticFrameTopDown(stream, frame);
        for (int row = 0; row < stream.height; ++row) {
            const int placed = stream.bottomUp ? stream.height - 1 - row : row;
            std::memcpy(data + placed * pitch, top.data() + row * pitch, static_cast<size_t>(pitch));
        }
        sample->SetActualDataLength(frameBytes - stream.shortBy);
        if (stream.timed) {
            REFERENCE_TIME start = frame * stream.frameDuration - segmentStart;
            REFERENCE_TIME end = start + stream.frameDuration;
            sample->SetTime(&start, &end);
        }
        sample->SetSyncPoint(TRUE);
        const HRESULT delivered = Deliver(sample);
        sample->Release();
        if (delivered != S_OK) return;
        delivered_.fetch_add(1);
        reached_.store((frame + 1) * stream.frameDuration);
    }
    if (!stopping_.load()) DeliverEndOfStream();
}

HRESULT WINAPI SyntheticSourcePin::GetStopPosition(LONGLONG* stop) {
    if (stop == nullptr) return E_POINTER;
    const SyntheticStream& stream = source_->Stream();
    if (stop_ >= 0)
        *stop = stop_;
    else if (stream.frames < 0)
        *stop = 36000000000;  // an hour
    else
        *stop = stream.frames * stream.frameDuration;
    return S_OK;
}

HRESULT WINAPI SyntheticSourcePin::GetCurrentPosition(LONGLONG* current) {
    if (current == nullptr) return E_POINTER;
    *current = reached_.load();
    return S_OK;
}

HRESULT WINAPI SyntheticSourcePin::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                                DWORD stopFlags) {
    K_CAutoLock lock(source_->FilterLock());
    if ((stopFlags & AM_SEEKING_PositioningBitsMask) != AM_SEEKING_NoPositioning) {
        if (stop == nullptr) return E_POINTER;
        stop_ = *stop;
    }
    if ((currentFlags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_NoPositioning) return S_OK;
    if (current == nullptr) return E_POINTER;
    if (thread_.joinable()) {
        stopping_.store(true);
        DeliverBeginFlush();
        StopStreaming();
        DeliverEndFlush();
    }
    position_ = *current;
    reached_.store(position_);
    if (source_->IsActive()) StartStreaming();
    return S_OK;
}

SyntheticSource* SyntheticSource::Make(const SyntheticStream& stream) { return new SyntheticSource(stream); }

void SyntheticSource::SetRegisteredStream(const SyntheticStream& stream) {
    std::lock_guard<std::mutex> hold(registeredLock);
    registeredStream = stream;
}

HRESULT SyntheticSource::RegistryFactory(REFIID iid, void** object) {
    SyntheticStream stream;
    {
        std::lock_guard<std::mutex> hold(registeredLock);
        stream = registeredStream;
    }
    SyntheticSource* source = Make(stream);
    const HRESULT result = source->NonDelegatingQueryInterface(iid, object);
    source->NonDelegatingRelease();
    return result;
}

SyntheticSource::SyntheticSource(const SyntheticStream& stream)
    : K_CBaseFilter("SyntheticSource", nullptr, &lock_, CLSID_SyntheticSource),
      stream_(stream),
      offered_(VideoType(stream.subtype, stream.width, stream.height, stream.bottomUp, 24)) {
    HRESULT result = S_OK;
    pin_ = new SyntheticSourcePin(this, &result);
}

SyntheticSource::~SyntheticSource() { delete pin_; }

HRESULT SyntheticSource::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IFileSourceFilter))
        return K_GetInterface(static_cast<IFileSourceFilter*>(this), object);
    return K_CBaseFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT WINAPI SyntheticSource::Load(LPCWSTR fileName, const AM_MEDIA_TYPE* mediaType) {
    if (fileName == nullptr) return E_POINTER;
    const std::wstring name = fileName;
    const std::wstring ending = L".synthetic";
    if (name.size() < ending.size() || name.compare(name.size() - ending.size(), ending.size(), ending) != 0)
        return kFileNotFound;
    return S_OK;
}

// ---- the decoder ------------------------------------------------------------------

SyntheticDecoderInput::SyntheticDecoderInput(SyntheticDecoder* decoder, HRESULT* result)
    : K_CBaseInputPin("SyntheticDecoderInput", decoder, decoder->FilterLock(), result, L"Packed"),
      decoder_(decoder) {}

HRESULT SyntheticDecoderInput::CheckMediaType(const K_CMediaType* type) {
    if (!IsEqualGUID(*type->Type(), MEDIATYPE_Video) || !IsEqualGUID(*type->Subtype(), kPackedFramesSubtype) ||
        !IsEqualGUID(*type->FormatType(), FORMAT_VideoInfo) || type->FormatLength() < sizeof(VIDEOINFOHEADER))
        return S_FALSE;
    return S_OK;
}

HRESULT WINAPI SyntheticDecoderInput::Receive(IMediaSample* sample) {
    const HRESULT result = K_CBaseInputPin::Receive(sample);
    if (result != S_OK) return result;
    return decoder_->Decode(sample);
}

HRESULT WINAPI SyntheticDecoderInput::EndOfStream() {
    const HRESULT result = CheckStreaming();
    if (result != S_OK) return result;
    return decoder_->Output()->DeliverEndOfStream();
}

HRESULT WINAPI SyntheticDecoderInput::BeginFlush() {
    K_CBaseInputPin::BeginFlush();
    return decoder_->Output()->DeliverBeginFlush();
}

HRESULT WINAPI SyntheticDecoderInput::EndFlush() {
    K_CBaseInputPin::EndFlush();
    return decoder_->Output()->DeliverEndFlush();
}

HRESULT WINAPI SyntheticDecoderInput::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    K_CBaseInputPin::NewSegment(start, stop, rate);
    return decoder_->Output()->DeliverNewSegment(start, stop, rate);
}

namespace {

// The packed input's size and row order.
bool InputLayout(const K_CMediaType& type, int32_t& width, int32_t& height, bool& bottomUp) {
    if (type.FormatLength() < sizeof(VIDEOINFOHEADER)) return false;
    VIDEOINFOHEADER info;
    std::memcpy(&info, type.Format(), sizeof(info));
    width = info.bmiHeader.biWidth;
    bottomUp = info.bmiHeader.biHeight > 0;
    height = bottomUp ? info.bmiHeader.biHeight : -info.bmiHeader.biHeight;
    return true;
}

}  // namespace

SyntheticDecoderOutput::SyntheticDecoderOutput(SyntheticDecoder* decoder, HRESULT* result)
    : K_CBaseOutputPin("SyntheticDecoderOutput", decoder, decoder->FilterLock(), result, L"Rgb"), decoder_(decoder) {}

HRESULT SyntheticDecoderOutput::CheckConnect(IPin* pin) {
    if (!decoder_->Input()->IsConnected()) return VFW_E_NOT_CONNECTED;
    return K_CBaseOutputPin::CheckConnect(pin);
}

HRESULT SyntheticDecoderOutput::GetMediaType(int position, K_CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    int32_t width = 0;
    int32_t height = 0;
    bool bottomUp = false;
    if (position > 1 || !decoder_->Input()->IsConnected() ||
        !InputLayout(decoder_->Input()->CurrentMediaType(), width, height, bottomUp))
        return VFW_S_NO_MORE_ITEMS;
    *type = position == 0 ? VideoType(MEDIASUBTYPE_RGB32, width, height, bottomUp, 32)
                          : VideoType(MEDIASUBTYPE_RGB24, width, height, bottomUp, 24);
    return S_OK;
}

HRESULT SyntheticDecoderOutput::CheckMediaType(const K_CMediaType* type) {
    for (int position = 0; position < 2; ++position) {
        K_CMediaType offered;
        if (GetMediaType(position, &offered) == S_OK && offered == *type) return S_OK;
    }
    return S_FALSE;
}

HRESULT SyntheticDecoderOutput::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    const LONG frameBytes = static_cast<LONG>(CurrentMediaType().lSampleSize);
    if (request->cBuffers < 1) request->cBuffers = 1;
    if (request->cbBuffer < frameBytes) request->cbBuffer = frameBytes;
    if (request->cbAlign < 1) request->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT result = allocator->SetProperties(request, &actual);
    if (FAILED(result)) return result;
    return actual.cbBuffer >= frameBytes ? S_OK : E_FAIL;
}

HRESULT SyntheticDecoder::RegistryFactory(REFIID iid, void** object) {
    auto* decoder = new SyntheticDecoder;
    const HRESULT result = decoder->NonDelegatingQueryInterface(iid, object);
    decoder->NonDelegatingRelease();
    return result;
}

SyntheticDecoder::SyntheticDecoder() : K_CBaseFilter("SyntheticDecoder", nullptr, &lock_, CLSID_SyntheticDecoder) {
    HRESULT result = S_OK;
    input_ = new SyntheticDecoderInput(this, &result);
    output_ = new SyntheticDecoderOutput(this, &result);
}

SyntheticDecoder::~SyntheticDecoder() {
    delete output_;
    delete input_;
}

K_CBasePin* SyntheticDecoder::GetPin(int n) {
    if (n == 0) return input_;
    if (n == 1) return output_;
    return nullptr;
}

HRESULT SyntheticDecoder::Decode(IMediaSample* sample) {
    if (!output_->IsConnected()) return S_OK;
    int32_t width = 0;
    int32_t height = 0;
    bool bottomUp = false;
    if (!InputLayout(input_->CurrentMediaType(), width, height, bottomUp)) return E_UNEXPECTED;
    const bool wide = IsEqualGUID(*output_->CurrentMediaType().Subtype(), MEDIASUBTYPE_RGB32);
    const int32_t inPitch = Rgb24Pitch(width);
    const int32_t outPitch = wide ? Rgb32Pitch(width) : Rgb24Pitch(width);

    IMediaSample* decoded = nullptr;
    HRESULT result = output_->GetDeliveryBuffer(&decoded, nullptr, nullptr, 0);
    if (FAILED(result)) return result;
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    sample->GetPointer(&from);
    decoded->GetPointer(&to);
    const int32_t rows = sample->GetActualDataLength() / inPitch < height ? sample->GetActualDataLength() / inPitch
                                                                          : height;
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t x = 0; x < width; ++x) {
            std::memcpy(to + row * outPitch + x * (wide ? 4 : 3), from + row * inPitch + x * 3, 3);
            if (wide) to[row * outPitch + x * 4 + 3] = 0xFF;
        }
    }
    decoded->SetActualDataLength(outPitch * height);
    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    const HRESULT timing = sample->GetTime(&start, &end);
    if (SUCCEEDED(timing)) decoded->SetTime(&start, timing == S_OK ? &end : nullptr);
    result = output_->Deliver(decoded);
    decoded->Release();
    return result;
}

void RegisterSyntheticFilters() {
    platform::dshow::AddRegisteredFilter(platform::dshow::RegisteredFilter{
        CLSID_SyntheticSource, L"Synthetic Source", 0x600000, SyntheticSource::RegistryFactory, true, {}});
    platform::dshow::AddRegisteredFilter(platform::dshow::RegisteredFilter{
        CLSID_SyntheticDecoder, L"Synthetic Decoder", 0x600000, SyntheticDecoder::RegistryFactory, false,
        {{MEDIATYPE_Video, kPackedFramesSubtype}}});
}

}  // namespace testsupport
