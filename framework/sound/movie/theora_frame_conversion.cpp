// The player's side of a Theora movie: choosing the wanted frame and turning
// it, once the decode thread has it in the stock, into the XRGB image.
#include "framework/graphics/image/pixel_image.h"
#include "framework/sound/movie/theora_movie.h"
#include "framework/sound/movie/theora_movie_record.h"
#include "framework/sound/movie/yuv_to_xrgb.h"

namespace {

// How long a conversion waits for its frame, in 1 ms naps: a frame that does
// not come in that time is reported as not to be had rather than hanging
// the caller.
constexpr int kFrameWaitNaps = 200;

const TheoraStockFrame* FindStockFrame(TheoraMovie* movie, int frame) {
    for (int i = 0; i < movie->stockCount; ++i)
        if (movie->stock[i].valid.load(std::memory_order_acquire) && movie->stock[i].frame == frame)
            return &movie->stock[i];
    return nullptr;
}

}  // namespace

int SeekTheoraMovie(TheoraMovie* movie, int frame) {
    if (frame == movie->currentFrame) return 0;
    movie->rgbReady = 0;
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
    return 0;
}

int ConvertTheoraFrameToRgb(TheoraMovie* movie, int wantRgb, int /*wantSurface*/) {
    // This device offers no YUV surface, so only the image is ever made.
    if (!wantRgb) return 0;
    if (movie->rgbReady) return 1;
    const int current = movie->currentFrame;
    const TheoraStockFrame* entry = nullptr;
    for (int naps = 0;; ++naps) {
        const uint32_t state = movie->threadState;
        if (state == kTheoraEnded) return 0;
        if (state != kTheoraSeeking) {
            entry = FindStockFrame(movie, current);
            if (entry != nullptr) break;
            if (movie->endOfStream) return 0;
        }
        if (naps >= kFrameWaitNaps) return 0;
        Sleep(1);
    }
    YuvPlanes planes = {entry->y,      entry->u,           entry->v,
                        entry->yWidth, entry->yHeight,     entry->yStride,
                        entry->chromaWidth, entry->chromaHeight, entry->chromaStride};
    if (planes.yWidth > movie->rgbImage.width) planes.yWidth = movie->rgbImage.width;
    if (planes.yHeight > movie->rgbImage.height) planes.yHeight = movie->rgbImage.height;
    ConvertYuvToXrgb(planes, movie->rgbImage.pixels, movie->rgbImage.pitch);
    movie->rgbReady = 1;
    return 1;
}
