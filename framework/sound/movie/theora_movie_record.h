// What the Theora player's open, decode thread and conversion share.
#pragma once

#include <ogg/ogg.h>
#include <theora/theora.h>

#include <atomic>
#include <cstdint>

#include "framework/files/file_access_table.h"
#include "framework/graphics/image/pixel_format.h"
#include "platform/kernel/kernel.h"

struct IDirect3DSurface9;

// One Ogg page that ends video packets.
struct TheoraPageEntry {
    // From the start of the file.
    uint32_t offset;
    // The first frame whose packet ends in this page.
    int32_t firstFrame;
    uint32_t keyframe;
    int32_t frameCount;
};

// One decoded picture. The decode thread writes an entry only while `valid`
// is 0; the player reads it only while it is 1. The frame number is read by
// both while they look for a frame. Rows are stored packed, so each stride
// equals its width.
struct TheoraStockFrame {
    std::atomic<uint32_t> valid;
    std::atomic<int32_t> frame;
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    int32_t yWidth, yHeight, yStride;
    int32_t chromaWidth, chromaHeight, chromaStride;
};

enum TheoraThreadState : uint32_t {
    kTheoraStockFull = 0,
    kTheoraDecoding = 1,
    kTheoraSeeking = 2,
    kTheoraEnded = 3,
    kTheoraHolding = 4,
};

struct TheoraMovie {
    std::atomic<uint32_t> threadState;
    std::atomic<uint32_t> holdRequest;
    std::atomic<uint32_t> stopRequest;
    std::atomic<uint32_t> seekRequest;
    std::atomic<int32_t> seekTarget;
    std::atomic<uint32_t> endOfStream;
    HANDLE thread;
    DWORD threadId;
    FileAccessTable access;
    uintptr_t file;
    ogg_sync_state sync;
    ogg_page page;
    ogg_stream_state stream;
    ogg_packet packet;
    theora_info info;
    theora_comment comment;
    theora_state state;
    uint32_t serial;
    TheoraPageEntry* pageIndex;
    int32_t pageCount;
    int32_t pageCapacity;
    uint8_t* keyframeFlags;
    int64_t keyframeCapacity;
    int64_t totalFrames;
    std::atomic<int32_t> currentFrame;
    int32_t decodeFrame;
    int32_t headerCount;
    TheoraStockFrame* stock;
    int32_t stockCount;
    PixelImage rgbImage;
    // An off-screen video surface of the coded size on the device in use,
    // filled from the stock as the RGB image is; null when the device offers
    // none (or the pictures are not 4:2:0).
    IDirect3DSurface9* yuvSurface;
    // Its format: "YV12", "YUY2" or "UYVY" as a FourCC; 0 without a surface.
    uint32_t yuvFourCC;
    // 1 while rgbImage, or yuvSurface, holds currentFrame.
    uint32_t rgbReady;
    uint32_t surfaceReady;
    // Set once each part of the record was set up, so close frees only those.
    bool streamReady;
    bool decoderReady;
};

// Reads up to `bytes` more of the file into the sync state; the bytes read.
long BufferTheoraData(TheoraMovie* movie, long bytes);
// Decodes (or skips up to the last keyframe) `count` more frames after
// decodeFrame. 1 when the last packet was a keyframe, 0 when not, -1 when
// the data ended first.
int SkipTheoraFrames(TheoraMovie* movie, int count);
DWORD WINAPI TheoraDecodeThread(void* parameter);
// Writes a decoded picture into the locked bits of a `width` x `height` YUV
// surface of `fourCC` ("YV12", "YUY2" or "UYVY"), rows `pitch` bytes apart.
void FillTheoraYuvSurface(const TheoraStockFrame& picture, uint32_t fourCC, uint8_t* bits, int pitch, int width,
                          int height);
