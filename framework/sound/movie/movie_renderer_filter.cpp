// The movie renderer: 24-bit RGB only, each frame copied top row first into
// a buffer that the movie code takes.
#include "framework/sound/movie/movie_renderer_filter.h"

#include <cstring>
#include <new>

#include "framework/base/tracked_memory.h"

namespace {

// The layout of a VideoInfo format block, or false when it has none that a
// buffer can hold.
struct FrameLayout {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    bool bottomUp = false;
};

bool ReadLayout(const K_CMediaType* type, FrameLayout& layout) {
    if (type->FormatLength() < sizeof(VIDEOINFOHEADER) || type->Format() == nullptr) return false;
    VIDEOINFOHEADER info;
    std::memcpy(&info, type->Format(), sizeof(info));
    const int64_t width = info.bmiHeader.biWidth;
    const int64_t height = info.bmiHeader.biHeight < 0 ? -static_cast<int64_t>(info.bmiHeader.biHeight)
                                                       : info.bmiHeader.biHeight;
    if (width <= 0 || height <= 0) return false;
    const int64_t pitch = (width + 1) * 3 / 4 * 4;
    if (pitch * height > static_cast<int64_t>(MaxTrackedBlockSize) || height > 0x7FFFFFFF) return false;
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(height);
    layout.pitch = static_cast<int32_t>(pitch);
    layout.bottomUp = info.bmiHeader.biHeight > 0;
    return true;
}

}  // namespace

MovieRendererFilter* MovieRendererFilter::Create(IUnknown* owner, HRESULT* result) {
    HRESULT made = S_OK;
    auto* renderer = new (std::nothrow) MovieRendererFilter(owner, &made);
    if (renderer != nullptr && FAILED(made)) {
        renderer->NonDelegatingRelease();
        renderer = nullptr;
    }
    if (result != nullptr) *result = renderer != nullptr ? S_OK : (FAILED(made) ? made : E_OUTOFMEMORY);
    return renderer;
}

MovieRendererFilter::MovieRendererFilter(IUnknown* owner, HRESULT* result)
    : K_CBaseVideoRenderer(CLSID_MovieRendererFilter, "MovieRendererFilter", owner, result) {}

MovieRendererFilter::~MovieRendererFilter() = default;

HRESULT MovieRendererFilter::CheckMediaType(const K_CMediaType* type) {
    if (type == nullptr) return E_POINTER;
    if (!IsEqualGUID(*type->FormatType(), FORMAT_VideoInfo)) return E_INVALIDARG;
    if (!IsEqualGUID(*type->Type(), MEDIATYPE_Video) || !IsEqualGUID(*type->Subtype(), MEDIASUBTYPE_RGB24))
        return E_FAIL;
    FrameLayout layout;
    if (!ReadLayout(type, layout)) return E_INVALIDARG;
    return S_OK;
}

HRESULT MovieRendererFilter::SetMediaType(const K_CMediaType* type) {
    if (type == nullptr) return E_POINTER;
    FrameLayout layout;
    if (!ReadLayout(type, layout)) return E_INVALIDARG;
    if (frameBuffer != nullptr) {
        if (layout.width != frameWidth || layout.height != frameHeight) return VFW_E_TYPE_NOT_ACCEPTED;
        bottomUp = layout.bottomUp ? 1 : 0;
        return S_OK;
    }
    auto* buffer = static_cast<uint8_t*>(
        AllocMemory(static_cast<size_t>(layout.pitch) * static_cast<size_t>(layout.height), __FILE__, __LINE__));
    if (buffer == nullptr) return E_OUTOFMEMORY;
    frameWidth = layout.width;
    frameHeight = layout.height;
    framePitch = layout.pitch;
    bottomUp = layout.bottomUp ? 1 : 0;
    frameBuffer = buffer;
    newFrame.store(0);
    return S_OK;
}

HRESULT MovieRendererFilter::DoRenderSample(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    if (frameBuffer == nullptr) return S_OK;
    BYTE* source = nullptr;
    const HRESULT result = sample->GetPointer(&source);
    if (FAILED(result)) return result;
    if (source == nullptr) return E_POINTER;

    const size_t pitch = static_cast<size_t>(framePitch);
    const size_t rows = static_cast<size_t>(frameHeight);
    const LONG length = sample->GetActualDataLength();
    // Never read past what the sample holds: a short one is no whole frame.
    if (length < 0 || static_cast<size_t>(length) < pitch * rows) return S_FALSE;
    if (bottomUp != 0) {
        for (size_t row = 0; row < rows; ++row)
            std::memcpy(frameBuffer + (rows - 1 - row) * pitch, source + row * pitch, pitch);
    } else {
        std::memcpy(frameBuffer, source, pitch * rows);
    }
    newFrame.store(1);
    return S_OK;
}
