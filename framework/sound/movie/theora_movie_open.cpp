// Opening and closing a Theora movie: the "OggS" probe, the stream headers,
// the index of every page and keyframe (built once, so that a seek needs no
// scan of the file), the YUV surface, the frame image and stock, and the
// decode thread.
#include <cstring>
#include <new>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/sound/movie/theora_movie.h"
#include "framework/sound/movie/theora_movie_record.h"

namespace {

constexpr long kReadSize = 4096;
constexpr int kIndexGrowth = 1000;

// The first beginning-of-stream page whose first packet is a Theora header
// chooses the stream; the other two headers follow.
int ParseTheoraHeaders(TheoraMovie* movie) {
    bool searching = true;
    while (searching) {
        if (ogg_sync_pageout(&movie->sync, &movie->page) <= 0) {
            if (BufferTheoraData(movie, kReadSize) == 0) break;
            continue;
        }
        if (!ogg_page_bos(&movie->page)) {
            if (movie->headerCount > 0) ogg_stream_pagein(&movie->stream, &movie->page);
            break;
        }
        ogg_stream_state candidate;
        ogg_stream_init(&candidate, ogg_page_serialno(&movie->page));
        ogg_stream_pagein(&candidate, &movie->page);
        ogg_packet first;
        if (ogg_stream_packetout(&candidate, &first) == 1 &&
            theora_decode_header(&movie->info, &movie->comment, &first) == 0) {
            movie->serial = static_cast<uint32_t>(ogg_page_serialno(&movie->page));
            movie->headerCount = 1;
            movie->stream = candidate;
            movie->streamReady = true;
            searching = false;
        } else {
            ogg_stream_clear(&candidate);
        }
    }
    if (movie->headerCount == 0) return -1;

    while (movie->headerCount < 3) {
        const int got = ogg_stream_packetout(&movie->stream, &movie->packet);
        if (got < 0) return -1;
        if (got == 1) {
            if (theora_decode_header(&movie->info, &movie->comment, &movie->packet) != 0) return -1;
            ++movie->headerCount;
            continue;
        }
        if (ogg_sync_pageout(&movie->sync, &movie->page) > 0) {
            ogg_stream_pagein(&movie->stream, &movie->page);
        } else if (BufferTheoraData(movie, kReadSize) == 0) {
            return -1;
        }
    }
    return 1;
}

bool GrowPageIndex(TheoraMovie* movie) {
    const int capacity = movie->pageCapacity + kIndexGrowth;
    void* grown = ReallocMemory(movie->pageIndex, sizeof(TheoraPageEntry) * capacity, __FILE__, __LINE__);
    if (grown == nullptr) {
        WriteLogLine("Theora ページ情報格納用メモリの確保に失敗しました\n");
        return false;
    }
    movie->pageIndex = static_cast<TheoraPageEntry*>(grown);
    movie->pageCapacity = capacity;
    return true;
}

bool GrowKeyframeFlags(TheoraMovie* movie) {
    const int64_t capacity = movie->keyframeCapacity + kIndexGrowth;
    void* grown = ReallocMemory(movie->keyframeFlags, static_cast<size_t>(capacity), __FILE__, __LINE__);
    if (grown == nullptr) {
        WriteLogLine("Theora キーフレーム情報格納用メモリの確保に失敗しました\n");
        return false;
    }
    movie->keyframeFlags = static_cast<uint8_t*>(grown);
    movie->keyframeCapacity = capacity;
    return true;
}

// One entry per page that ends video packets: where it starts, the first
// frame that ends in it, how many do and whether a keyframe does.
bool IndexTheoraFile(TheoraMovie* movie) {
    if (!GrowPageIndex(movie) || !GrowKeyframeFlags(movie)) return false;
    uint32_t offset = 0;
    uint32_t pageStart = 0;
    bool newPage = false;
    for (;;) {
        if (ogg_stream_packetout(&movie->stream, &movie->packet) != 1) {
            if (ogg_sync_pageout(&movie->sync, &movie->page) > 0) {
                const uint32_t start = offset;
                offset += static_cast<uint32_t>(movie->page.header_len + movie->page.body_len);
                if (ogg_stream_pagein(&movie->stream, &movie->page) == 0) {
                    pageStart = start;
                    newPage = true;
                }
            } else if (BufferTheoraData(movie, kReadSize) == 0) {
                return true;
            }
            continue;
        }
        const int keyframe = theora_packet_iskeyframe(&movie->packet);
        if (keyframe < 0) continue;
        if (newPage) {
            if (movie->pageCount == movie->pageCapacity && !GrowPageIndex(movie)) return false;
            movie->pageIndex[movie->pageCount++] = {pageStart, static_cast<int32_t>(movie->totalFrames), 0, 0};
            newPage = false;
        }
        if (movie->totalFrames == movie->keyframeCapacity && !GrowKeyframeFlags(movie)) return false;
        TheoraPageEntry& entry = movie->pageIndex[movie->pageCount - 1];
        if (keyframe == 1) entry.keyframe = 1;
        movie->keyframeFlags[movie->totalFrames] = static_cast<uint8_t>(keyframe == 1);
        ++movie->totalFrames;
        ++entry.frameCount;
    }
}

}  // namespace

long BufferTheoraData(TheoraMovie* movie, long bytes) {
    char* buffer = ogg_sync_buffer(&movie->sync, bytes);
    const uint32_t got = movie->access.read(buffer, 1, static_cast<uint32_t>(bytes), movie->file);
    ogg_sync_wrote(&movie->sync, static_cast<long>(got));
    return static_cast<long>(got);
}

TheoraMovie* OpenTheoraMovie(uintptr_t file, const FileAccessTable* access, int frameStock) {
    char magic[4] = {};
    if (access->read(magic, 1, 4, file) != 4 || std::memcmp(magic, "OggS", 4) != 0) return nullptr;
    access->seek(file, 0, 0);

    void* memory = AllocZeroedMemory(sizeof(TheoraMovie), __FILE__, __LINE__);
    if (memory == nullptr) {
        WriteLogLine("Theora ムービーデコード処理用のメモリ確保に失敗しました\n");
        return nullptr;
    }
    TheoraMovie* movie = new (memory) TheoraMovie();
    movie->decodeFrame = 0;
    movie->currentFrame = -1;
    ogg_sync_init(&movie->sync);
    theora_info_init(&movie->info);
    theora_comment_init(&movie->comment);
    movie->access = *access;
    movie->file = file;

    if (ParseTheoraHeaders(movie) == -1) {
        CloseTheoraMovie(movie);
        return nullptr;
    }
    if (theora_decode_init(&movie->state, &movie->info) != 0) {
        CloseTheoraMovie(movie);
        return nullptr;
    }
    movie->decoderReady = true;
    ogg_sync_reset(&movie->sync);
    ogg_stream_reset(&movie->stream);
    movie->access.seek(file, 0, 0);
    if (!IndexTheoraFile(movie)) {
        CloseTheoraMovie(movie);
        return nullptr;
    }
    // A stream without pictures or without a frame rate cannot be played.
    if (movie->totalFrames == 0 || movie->info.fps_numerator == 0 || movie->info.fps_denominator == 0) {
        CloseTheoraMovie(movie);
        return nullptr;
    }
    movie->pageIndex[0].offset = 0;
    CreateTheoraYuvSurface(movie);

    if (AllocXrgb32PixelImage(static_cast<int>(movie->info.width), static_cast<int>(movie->info.height),
                              &movie->rgbImage) != 0) {
        WriteLogLine("Theora ムービーデコードフレームストック用画像バッファの確保に失敗しました\n");
        CloseTheoraMovie(movie);
        return nullptr;
    }
    movie->stock = static_cast<TheoraStockFrame*>(
        AllocZeroedMemory(sizeof(TheoraStockFrame) * static_cast<size_t>(frameStock), __FILE__, __LINE__));
    if (movie->stock == nullptr) {
        WriteLogLine("Theora ムービーデコードフレームストック用のメモリ確保に失敗しました\n");
        CloseTheoraMovie(movie);
        return nullptr;
    }
    for (int i = 0; i < frameStock; ++i) new (&movie->stock[i]) TheoraStockFrame();
    movie->stockCount = frameStock;

    // The thread starts holding: nothing it reads changes under it until the
    // first seek lets it go.
    movie->holdRequest = 1;
    movie->threadState = kTheoraStockFull;
    movie->thread = CreateThread(nullptr, 0, TheoraDecodeThread, movie, 0, &movie->threadId);
    if (movie->thread == nullptr) {
        WriteLogLine("Theora ムービーデコード用スレッドの作成に失敗しました\n");
        CloseTheoraMovie(movie);
        return nullptr;
    }

    SeekTheoraMovie(movie, 0);
    ConvertTheoraFrameToRgb(movie, 1, 1);
    return movie;
}

int CloseTheoraMovie(TheoraMovie* movie) {
    if (movie == nullptr) return 0;
    if (movie->thread != nullptr) {
        movie->stopRequest = 1;
        WaitForSingleObject(movie->thread, INFINITE);
        CloseHandle(movie->thread);
        movie->thread = nullptr;
    }
    if (movie->stock != nullptr) {
        for (int i = 0; i < movie->stockCount; ++i) {
            FreeMemory(movie->stock[i].y);
            FreeMemory(movie->stock[i].u);
            FreeMemory(movie->stock[i].v);
        }
        FreeMemory(movie->stock);
    }
    ReleaseTheoraYuvSurface(movie);
    FreeMemory(movie->pageIndex);
    FreeMemory(movie->keyframeFlags);
    if (movie->rgbImage.pixels != nullptr) FreePixelImage(&movie->rgbImage);
    if (movie->streamReady) ogg_stream_clear(&movie->stream);
    if (movie->decoderReady) theora_clear(&movie->state);
    theora_comment_clear(&movie->comment);
    theora_info_clear(&movie->info);
    ogg_sync_clear(&movie->sync);
    FreeMemory(movie);
    return 0;
}

int GetTheoraMovieInfo(TheoraMovie* movie, TheoraMovieInfo* info) {
    info->frameRate = static_cast<double>(movie->info.fps_numerator) / movie->info.fps_denominator;
    info->totalFrames = static_cast<uint32_t>(movie->totalFrames);
    info->width = movie->info.width;
    info->height = movie->info.height;
    return 0;
}

int GetTheoraCurrentFrame(TheoraMovie* movie) { return movie->currentFrame; }

PixelImage* GetTheoraRgbImage(TheoraMovie* movie) { return &movie->rgbImage; }
