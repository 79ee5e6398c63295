// The record of an open movie and the table of them: 100 slots of movie
// handles (kind 0x18000000) on the generic handle table.
#pragma once

#include <cstdint>

#include "framework/base/handle_table.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/handles/movie_entries.h"
#include "platform/dshow/dshow.h"

struct TheoraMovie;
class MovieRendererFilter;

constexpr int kMovieHandleKind = 0x18000000;
constexpr int kMovieSlotCount = 100;

struct MovieRecord {
    uint32_t check;
    // The play type of the last play request; bit 2 loops.
    int32_t playType;
    uint32_t isTheora;
    TheoraMovie* theora;
    int64_t startTimeUs;
    uintptr_t stream;
    int32_t sound;
    IGraphBuilder* graphBuilder;
    IMediaControl* mediaControl;
    IMediaSeeking* mediaSeeking;
    IBasicAudio* basicAudio;
    MovieRendererFilter* renderer;
    // 100 ns units.
    int64_t stopPosition;
    int32_t width;
    int32_t height;
    uint32_t alphaFlag;
    // 1 playing, 0 stopped.
    uint32_t playState;
    // 1 while not running: paused, stopped or ended.
    uint32_t paused;
    uint32_t frameUpdated;
    // 1 when fileName is a temporary copy that close deletes.
    uint32_t tempFile;
    char fileName[260];
    // Describes the renderer's frame buffer, which the record owns once a
    // frame was taken.
    PixelImage frameImage;
    PixelImage* currentImage;
    MovieFrameCallback frameCallback;
    uint32_t callbackArg;
};

constexpr int kLoopPlayBit = 2;

// The table of open movies.
HandleTable& MovieTable();

// Opens the file through a filter graph that ends in the movie renderer;
// the frame size goes to width and height. 0, or -1 after logging why; on
// failure the record holds nothing.
int OpenMovieWithDirectShow(MovieRecord* movie, const char* fileName, int* width, int* height);
// Stops the graph and lets go of it and of every interface the record
// holds, then frees the frame buffer taken from the renderer.
void ReleaseMovieGraph(MovieRecord* movie);

// A Theora movie's wanted frame moved to the time of its sound track, or of
// the microsecond clock when it has none, with its end seen; then the frame
// callback. 0.
int UpdateTheoraMovieFrame(MovieRecord* movie);
// Where the microsecond clock stood when frame 0 was due, for a picture
// that continues from the decoder's current frame.
void RestartTheoraMovieClock(MovieRecord* movie);
