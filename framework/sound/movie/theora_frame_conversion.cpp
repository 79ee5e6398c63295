// The player's side of a Theora movie: choosing the wanted frame and, once
// the decode thread has it in the stock, turning it into the XRGB image or
// writing it into the YUV surface.
#include "framework/graphics/image/pixel_image.h"
#include "framework/sound/movie/theora_movie.h"
#include "framework/sound/movie/theora_movie_record.h"
#include "framework/sound/movie/yuv_to_xrgb.h"
#include "platform/d3d9/d3d9.h"

namespace {

// A lock of the YUV surface is tried this many times, the surface made
// again between tries.
constexpr int kSurfaceLockTries = 3;

const TheoraStockFrame* FindStockFrame(TheoraMovie* movie, int frame) {
    for (int i = 0; i < movie->stockCount; ++i)
        if (movie->stock[i].valid.load(std::memory_order_acquire) && movie->stock[i].frame == frame)
            return &movie->stock[i];
    return nullptr;
}

// Waits until the decode thread has the frame in the stock; null when it
// will never come: the data ended, or the thread did (so the wait cannot
// outlive it).
const TheoraStockFrame* WaitForStockFrame(TheoraMovie* movie, int frame) {
    for (;;) {
        const uint32_t state = movie->threadState;
        if (state == kTheoraEnded) return nullptr;
        if (state == kTheoraSeeking) {
            Sleep(1);
            continue;
        }
        const TheoraStockFrame* entry = FindStockFrame(movie, frame);
        if (entry != nullptr) return entry;
        if (movie->endOfStream) return nullptr;
        Sleep(0);
    }
}

void FillSurface(TheoraMovie* movie, const TheoraStockFrame& picture) {
    D3DLOCKED_RECT locked = {};
    for (int tries = 1; movie->yuvSurface->LockRect(&locked, nullptr, 0) != D3D_OK; ++tries) {
        // A surface that cannot be locked is made again; one that never can
        // be is given up, and the frames go to the RGB image.
        if (tries == kSurfaceLockTries) {
            ReleaseTheoraYuvSurface(movie);
            return;
        }
        CreateTheoraYuvSurface(movie);
        if (movie->yuvSurface == nullptr) return;
    }
    FillTheoraYuvSurface(picture, movie->yuvFourCC, static_cast<uint8_t*>(locked.pBits), locked.Pitch,
                         static_cast<int>(movie->info.width), static_cast<int>(movie->info.height));
    movie->yuvSurface->UnlockRect();
    movie->surfaceReady = 1;
}

void FillRgbImage(TheoraMovie* movie, const TheoraStockFrame& picture) {
    YuvPlanes planes = {picture.y,      picture.u,           picture.v,
                        picture.yWidth, picture.yHeight,     picture.yStride,
                        picture.chromaWidth, picture.chromaHeight, picture.chromaStride};
    if (planes.yWidth > movie->rgbImage.width) planes.yWidth = movie->rgbImage.width;
    if (planes.yHeight > movie->rgbImage.height) planes.yHeight = movie->rgbImage.height;
    ConvertYuvToXrgb(planes, movie->rgbImage.pixels, movie->rgbImage.pitch);
    movie->rgbReady = 1;
}

}  // namespace

int SeekTheoraMovie(TheoraMovie* movie, int frame) {
    if (frame == movie->currentFrame) return 0;
    movie->rgbReady = 0;
    movie->surfaceReady = 0;
    movie->holdRequest = 1;
    while (movie->threadState != kTheoraHolding && movie->threadState != kTheoraEnded) Sleep(0);
    if (frame < 0) frame = 0;
    if (frame >= movie->totalFrames) frame = static_cast<int>(movie->totalFrames - 1);
    movie->currentFrame = frame;
    movie->seekTarget = frame;
    movie->seekRequest = 1;
    movie->holdRequest = 0;
    return 0;
}

int AdvanceTheoraFrame(TheoraMovie* movie, int step) {
    if (step < 1) return 0;
    const int64_t next = (static_cast<int64_t>(movie->currentFrame) + step) % movie->totalFrames;
    movie->currentFrame = static_cast<int32_t>(next);
    movie->rgbReady = 0;
    movie->surfaceReady = 0;
    return 0;
}

int ConvertTheoraFrameToRgb(TheoraMovie* movie, int wantRgb, int wantSurface) {
    const bool surface = wantSurface != 0 && movie->yuvSurface != nullptr;
    const bool rgb = wantRgb != 0;
    if (!surface && !rgb) return 0;
    if ((!surface || movie->surfaceReady) && (!rgb || movie->rgbReady)) return 1;
    const TheoraStockFrame* picture = WaitForStockFrame(movie, movie->currentFrame);
    if (picture == nullptr) return 0;
    if (surface && !movie->surfaceReady) FillSurface(movie, *picture);
    if (rgb && !movie->rgbReady) FillRgbImage(movie, *picture);
    return 1;
}
