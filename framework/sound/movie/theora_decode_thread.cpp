// The decode thread of a Theora movie. It keeps the stock filled with the
// frames from the wanted one on, wraps to the start at the end of the file
// and catches up by skipping to the last keyframe when the player jumps
// ahead. It shares only atomic words and the stock entries' valid flags with
// the player, and sleeps instead of spinning while it has nothing to do.
#include "framework/base/tracked_memory.h"
#include "framework/sound/movie/theora_movie_record.h"

namespace {

constexpr long kReadSize = 4096;

// The next packet of the Theora stream; false when the data ended.
bool NextPacket(TheoraMovie* movie) {
    for (;;) {
        if (ogg_stream_packetout(&movie->stream, &movie->packet) == 1) return true;
        if (ogg_sync_pageout(&movie->sync, &movie->page) > 0) {
            ogg_stream_pagein(&movie->stream, &movie->page);
            continue;
        }
        if (BufferTheoraData(movie, kReadSize) == 0) return false;
    }
}

// Forward distance from `from` to `to` in a looping sequence of frames.
int64_t FramesAhead(const TheoraMovie* movie, int64_t from, int64_t to) {
    const int64_t distance = (to - from) % movie->totalFrames;
    return distance < 0 ? distance + movie->totalFrames : distance;
}

// The frames worth holding are the stock's size from the wanted one on,
// counted across the loop point.
bool InWindow(const TheoraMovie* movie, int current, int frame) {
    return FramesAhead(movie, current, frame) < movie->stockCount;
}

bool InStock(const TheoraMovie* movie, int frame) {
    for (int i = 0; i < movie->stockCount; ++i)
        if (movie->stock[i].valid.load(std::memory_order_acquire) && movie->stock[i].frame == frame) return true;
    return false;
}

void FreeStock(TheoraMovie* movie) {
    for (int i = 0; i < movie->stockCount; ++i) movie->stock[i].valid.store(0, std::memory_order_release);
}

// Rewinds the framing to `offset`, where the packets from frame `nextFrame`
// on begin.
void Reposition(TheoraMovie* movie, uint32_t offset, int nextFrame) {
    ogg_sync_reset(&movie->sync);
    ogg_stream_reset(&movie->stream);
    movie->access.seek(movie->file, static_cast<int32_t>(offset), 0);
    movie->decodeFrame = nextFrame - 1;
}

// Starts from the keyframe page before the target and decodes up to it.
// False when the target lies past the index.
bool SeekToTarget(TheoraMovie* movie) {
    const int target = movie->seekTarget.load();
    int entry = 0;
    while (entry < movie->pageCount &&
           movie->pageIndex[entry].firstFrame + movie->pageIndex[entry].frameCount <= target)
        ++entry;
    if (entry == movie->pageCount) return false;
    if (entry > 0) --entry;
    while (entry > 0 && !movie->pageIndex[entry].keyframe) --entry;
    if (entry > 0) --entry;
    const TheoraPageEntry& page = movie->pageIndex[entry];
    Reposition(movie, page.offset, page.firstFrame);
    if (entry > 0) {
        while (ogg_sync_pageout(&movie->sync, &movie->page) <= 0)
            if (BufferTheoraData(movie, kReadSize) == 0) break;
        // A packet finished here but begun on the page before cannot be
        // had: the first packet out is the frame after it.
        if (ogg_page_continued(&movie->page)) ++movie->decodeFrame;
        ogg_stream_pagein(&movie->stream, &movie->page);
    }
    const bool ended = target > movie->decodeFrame && SkipTheoraFrames(movie, target - movie->decodeFrame) < 0;
    FreeStock(movie);
    movie->decodeFrame = target;
    movie->endOfStream = ended ? 1 : 0;
    movie->seekRequest = 0;
    return true;
}

// Plane buffers are kept while their sizes stay the same.
bool FitPlane(uint8_t** plane, int32_t* oldWidth, int32_t* oldHeight, int width, int height, bool resize) {
    if (*plane != nullptr && !resize) return true;
    FreeMemory(*plane);
    *plane = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(width) * height, __FILE__, __LINE__));
    *oldWidth = width;
    *oldHeight = height;
    return *plane != nullptr;
}

void CopyPlane(uint8_t* dest, const unsigned char* source, int width, int height, int stride) {
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) dest[static_cast<long>(row) * width + col] = source[static_cast<long>(row) * stride + col];
}

// The decoder's picture into a free stock entry. Rows are copied one by one
// with their signed stride, so a picture stored bottom row first comes out
// right.
void TakePicture(TheoraMovie* movie, TheoraStockFrame* entry) {
    yuv_buffer picture;
    if (theora_decode_YUVout(&movie->state, &picture) != 0) return;
    const bool lumaResized = entry->yWidth != picture.y_width || entry->yHeight != picture.y_height;
    const bool chromaResized = entry->chromaWidth != picture.uv_width || entry->chromaHeight != picture.uv_height;
    int32_t ignoredWidth, ignoredHeight;
    if (!FitPlane(&entry->y, &entry->yWidth, &entry->yHeight, picture.y_width, picture.y_height, lumaResized) ||
        !FitPlane(&entry->u, &ignoredWidth, &ignoredHeight, picture.uv_width, picture.uv_height, chromaResized) ||
        !FitPlane(&entry->v, &entry->chromaWidth, &entry->chromaHeight, picture.uv_width, picture.uv_height,
                  chromaResized)) {
        // A plane that could not be had leaves the entry to be sized again.
        entry->yWidth = entry->chromaWidth = 0;
        return;
    }
    entry->yStride = entry->yWidth;
    entry->chromaStride = entry->chromaWidth;
    CopyPlane(entry->y, picture.y, picture.y_width, picture.y_height, picture.y_stride);
    CopyPlane(entry->u, picture.u, picture.uv_width, picture.uv_height, picture.uv_stride);
    CopyPlane(entry->v, picture.v, picture.uv_width, picture.uv_height, picture.uv_stride);
    entry->frame = movie->decodeFrame;
    entry->valid.store(1, std::memory_order_release);
}

// Decodes on to `target`, through the start of the file when the target
// lies across the loop point. False when the data ended first.
bool DecodeUpTo(TheoraMovie* movie, int target) {
    const int64_t step = FramesAhead(movie, movie->decodeFrame, target);
    if (movie->decodeFrame + step >= movie->totalFrames) {
        Reposition(movie, movie->pageIndex[0].offset, 0);
        // Frames 0 to the target are target + 1 packets, so every frame keeps
        // its number.
        return SkipTheoraFrames(movie, target + 1) >= 0;
    }
    return SkipTheoraFrames(movie, static_cast<int>(step)) >= 0;
}

// One pass of normal decoding; false when there was nothing to do.
bool DecodeOnePass(TheoraMovie* movie) {
    const int current = movie->currentFrame.load();
    if (current < 0 || movie->endOfStream) return false;
    TheoraStockFrame* freeEntry = nullptr;
    for (int i = 0; i < movie->stockCount; ++i) {
        TheoraStockFrame& entry = movie->stock[i];
        if (entry.valid.load(std::memory_order_acquire) && !InWindow(movie, current, entry.frame))
            entry.valid.store(0, std::memory_order_release);
        if (!entry.valid.load(std::memory_order_acquire) && freeEntry == nullptr) freeEntry = &entry;
    }
    if (freeEntry == nullptr) return false;

    int target;
    if (!InStock(movie, movie->decodeFrame) && InWindow(movie, current, movie->decodeFrame)) {
        target = movie->decodeFrame;
    } else if (!InStock(movie, current)) {
        target = current;  // the player jumped ahead: catch up
    } else {
        target = static_cast<int>((movie->decodeFrame + 1) % movie->totalFrames);
        if (!InWindow(movie, current, target) || InStock(movie, target)) return false;
    }
    movie->threadState = kTheoraDecoding;
    if (target != movie->decodeFrame && !DecodeUpTo(movie, target)) {
        movie->endOfStream = 1;
        return false;
    }
    TakePicture(movie, freeEntry);
    return true;
}

}  // namespace

int SkipTheoraFrames(TheoraMovie* movie, int count) {
    int lastKeyframe = -1;
    for (int frame = movie->decodeFrame + 1; frame <= movie->decodeFrame + count && frame < movie->totalFrames; ++frame)
        if (movie->keyframeFlags[frame]) lastKeyframe = frame;
    int result = 0;
    for (int done = 0; done < count;) {
        if (!NextPacket(movie)) return -1;
        const int keyframe = theora_packet_iskeyframe(&movie->packet);
        if (keyframe < 0) continue;
        const int frame = movie->decodeFrame + 1;
        // Frames before the last keyframe of the range are not needed to
        // decode the frames from it on.
        if (lastKeyframe < 0 || frame >= lastKeyframe) theora_decode_packetin(&movie->state, &movie->packet);
        movie->decodeFrame = frame;
        result = keyframe;
        ++done;
    }
    return result;
}

DWORD WINAPI TheoraDecodeThread(void* parameter) {
    TheoraMovie* movie = static_cast<TheoraMovie*>(parameter);
    while (!movie->stopRequest) {
        if (movie->holdRequest) {
            movie->threadState = kTheoraHolding;
            Sleep(1);
            continue;
        }
        if (movie->seekRequest) {
            movie->threadState = kTheoraSeeking;
            if (!SeekToTarget(movie)) break;
            continue;
        }
        if (DecodeOnePass(movie)) {
            Sleep(0);
        } else {
            movie->threadState = kTheoraStockFull;
            Sleep(1);
        }
    }
    movie->threadState = kTheoraEnded;
    return 0;
}
