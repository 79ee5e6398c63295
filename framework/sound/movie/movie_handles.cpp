// The movie table and its handles: opening a movie (the Theora player
// first, then a filter graph), the record behind a handle, and closing.
#include <cstring>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/files/file_access_table.h"
#include "framework/sound/movie/movie_handles.h"
#include "framework/sound/movie/movie_record.h"
#include "framework/sound/movie/theora_movie.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_loading.h"
#include "platform/kernel/kernel.h"

namespace {

void* movieSlots[kMovieSlotCount];
HandleTable movieTable = {kMovieHandleKind, kMovieSlotCount, offsetof(MovieRecord, check), movieSlots, 0, 0, 0};

// Every frame of a Theora movie is decoded this many ahead.
constexpr int kTheoraFrameStock = 10;

}  // namespace

HandleTable& MovieTable() { return movieTable; }

MovieRecord* GetMovieRecord(int movie) { return static_cast<MovieRecord*>(GetHandleRecord(&movieTable, movie)); }

int OpenMovie(const char* fileName, int* width, int* height, int mode) {
    if (fileName == nullptr) return -1;
    int slot = 0;
    while (slot < kMovieSlotCount && movieSlots[slot] != nullptr) ++slot;
    if (slot == kMovieSlotCount) return -1;

    MovieRecord* movie = static_cast<MovieRecord*>(AllocZeroedMemory(sizeof(MovieRecord), __FILE__, __LINE__));
    if (movie == nullptr) {
        WriteLogLine("メモリの確保に失敗しました in OpenMovie\n");
        return -1;
    }
    movie->sound = -1;
    // A file the framework cannot open is no Theora movie; the graph may
    // still find it.
    movie->stream = FileStreamOpen(fileName, 0, 1, 0);
    if (movie->stream != 0) {
        movie->theora = OpenTheoraMovie(movie->stream, &FileAccessTableInForce, kTheoraFrameStock);
        if (movie->theora == nullptr) {
            FileStreamClose(movie->stream);
            movie->stream = 0;
        }
    }
    if (movie->theora != nullptr) {
        TheoraMovieInfo info;
        GetTheoraMovieInfo(movie->theora, &info);
        movie->width = static_cast<int32_t>(info.width);
        movie->height = static_cast<int32_t>(info.height);
        movie->isTheora = 1;
        movie->currentImage = GetTheoraRgbImage(movie->theora);
        // The sound track streams from the same file; a file whose sound no
        // converter takes plays without one.
        const int previousLoadType = GetSoundLoadType();
        SetSoundLoadType(3);
        movie->sound = LoadSoundFile(fileName, 1, -1);
        SetSoundLoadType(previousLoadType);
        if (width != nullptr) *width = movie->width;
        if (height != nullptr) *height = movie->height;
    } else {
        movie->tempFile = 0;
        if (OpenMovieWithDirectShow(movie, fileName, width, height) != 0) {
            FreeMemory(movie);
            WriteLogLine("ムービーファイルオープン処理時にエラーが発生しました\n");
            return -1;
        }
        movie->currentImage = &movie->frameImage;
    }

    movie->paused = 1;
    movie->playState = 0;
    movie->playType = 1;
    movie->check = static_cast<uint32_t>(movieTable.checkCounter);
    movieTable.checkCounter = (movieTable.checkCounter + 1) % kHandleCheckLimit;
    movieSlots[slot] = movie;
    ++movieTable.liveCount;
    if (slot >= movieTable.highWater) movieTable.highWater = slot + 1;
    return MakeHandleValue(kMovieHandleKind, static_cast<int>(movie->check), slot);
}

int CloseMovie(int handle) {
    MovieRecord* movie = GetMovieRecord(handle);
    if (movie == nullptr) return -1;
    if (movie->isTheora) {
        // The decode thread reads the file: it is joined before the file
        // closes.
        CloseTheoraMovie(movie->theora);
        movie->theora = nullptr;
        if (movie->stream != 0) FileStreamClose(movie->stream);
        movie->stream = 0;
        if (movie->sound != -1) DeleteSoundHandle(movie->sound, 0);
        movie->sound = -1;
        movie->isTheora = 0;
    }
    // The graph goes first: its threads write into the frame buffer, and
    // its source reads the temporary copy.
    ReleaseMovieGraph(movie);
    if (movie->tempFile == 1) DeleteFileA(movie->fileName);
    movie->tempFile = 0;
    return ReleaseHandleRecord(&movieTable, handle) == 0 ? 0 : -1;
}
