// The last filter of every movie graph: it takes uncompressed 24-bit RGB
// video only (so the graph builder puts whatever decoders and converters the
// file needs in front of it) and copies each frame, top row first, into a
// buffer of its own that the movie code hands to the graphics side.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/sound/movie/video_renderer_base.h"

// {71771540-2017-11CF-AE26-0020AFD79767}
inline constexpr GUID CLSID_MovieRendererFilter = {0x71771540u, 0x2017u, 0x11CFu,
                                                   {0xAEu, 0x26u, 0x00u, 0x20u, 0xAFu, 0xD7u, 0x97u, 0x67u}};

class MovieRendererFilter : public K_CBaseVideoRenderer {
public:
    // The renderer with one reference, which the caller holds; null when
    // memory runs out. `result` receives S_OK or the failure.
    static MovieRendererFilter* Create(IUnknown* owner, HRESULT* result);

    MovieRendererFilter(IUnknown* owner, HRESULT* result);
    // The frame buffer outlives the renderer: the movie that took it frees it.
    ~MovieRendererFilter() override;

    // Reads the frame's size and row order and makes the frame buffer
    // (framework memory, framePitch x frameHeight bytes). Once the buffer
    // exists it stays where it is, since the movie code may be reading it: a
    // later type of the same size only changes the row order, one of another
    // size is refused (VFW_E_TYPE_NOT_ACCEPTED).
    HRESULT SetMediaType(const K_CMediaType* type) override;
    // Copies the frame into the buffer, bottom-up rows reversed, and raises
    // newFrame. A sample shorter than a frame is dropped (S_FALSE).
    HRESULT DoRenderSample(IMediaSample* sample) override;
    // E_POINTER for null; E_INVALIDARG unless the format is VideoInfo;
    // E_FAIL unless video in 24-bit RGB; E_INVALIDARG for a format block too
    // short, or a frame size no buffer can hold; S_OK otherwise.
    HRESULT CheckMediaType(const K_CMediaType* type) override;

    // The latest frame, top row first; null until the first connection.
    uint8_t* frameBuffer = nullptr;
    // 1 after a frame was copied; the movie code clears it when it takes the
    // frame. Set on the streaming thread, read on the movie's.
    std::atomic<uint32_t> newFrame{0};
    // 1 when the connected format's rows arrive bottom row first.
    uint32_t bottomUp = 0;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    // Bytes per row: the row size of 24-bit pixels rounded up to 4 bytes.
    int32_t framePitch = 0;
};
