// The timing of a Theora movie's picture: the due frame from the sound
// track's play time, or from the microsecond clock when there is none; a
// movie without sound loops modulo its frame count or holds its last frame,
// and one played once with sound holds its last frame after the sound ends.
#include "framework/base/base_functions.h"
#include "framework/base/time_functions.h"
#include "framework/sound/movie/movie_record.h"
#include "framework/sound/movie/theora_movie.h"
#include "framework/sound/sound_playback.h"

int UpdateTheoraMovieFrame(MovieRecord* movie) {
    TheoraMovieInfo info;
    GetTheoraMovieInfo(movie->theora, &info);
    const int total = static_cast<int>(info.totalFrames);
    if (movie->paused == 0) {
        const bool loops = (movie->playType & kLoopPlayBit) != 0;
        const int current = GetTheoraCurrentFrame(movie->theora);
        int due;
        if (movie->sound != -1) {
            const double elapsed = GetSoundHandlePlayTimeMs(movie->sound) * 1000.0;
            due = DoubleToInt(elapsed * info.frameRate / 1000000.0);
            if (due >= total) due = total - 1;
            // A sound track that has ended stands at its start again: a movie
            // played once keeps its last picture instead of wrapping to the
            // first.
            if (due < current && !loops && CheckSoundHandlePlaying(movie->sound) != 1) due = current;
        } else {
            const double elapsed = static_cast<double>(static_cast<int64_t>(GetMicrosecondCount(0)) - movie->startTimeUs);
            due = DoubleToInt(elapsed * info.frameRate / 1000000.0);
            if (due >= total) due = loops ? due % total : total - 1;
        }
        if (due < 0) due = 0;
        if (due != current) {
            AdvanceTheoraFrame(movie->theora, due > current ? due - current : total - current + due);
        } else if (due == total - 1 && !loops && movie->sound == -1) {
            movie->playState = 0;
            movie->paused = 1;
        }
    }
    if (movie->frameCallback != nullptr) {
        movie->frameCallback(movie, static_cast<int>(movie->callbackArg));
        movie->frameUpdated = 1;
    }
    return 0;
}

void RestartTheoraMovieClock(MovieRecord* movie) {
    TheoraMovieInfo info;
    GetTheoraMovieInfo(movie->theora, &info);
    movie->startTimeUs = static_cast<int64_t>(GetMicrosecondCount(0)) -
                         DoubleToInt(1000000.0 / info.frameRate * GetTheoraCurrentFrame(movie->theora));
}
