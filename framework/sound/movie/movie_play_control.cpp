// Playing and pausing movies, their play state with the end of a movie
// seen, and the pause of every movie while the window is inactive, with the
// resume of those it stopped.
#include "framework/sound/movie/movie_handles.h"
#include "framework/sound/movie/movie_playback.h"
#include "framework/sound/movie/movie_record.h"
#include "framework/sound/sound_playback.h"

namespace {

// How long GetMovieState lets the graph settle into its state.
constexpr LONG kStateWait = 1000;

}  // namespace

int PlayMovie(int handle, int playType, int resumeOnly) {
    MovieRecord* movie = GetMovieRecord(handle);
    if (movie == nullptr) return -1;
    const int type = playType == -1 ? movie->playType : playType;
    if (movie->paused == 0) return 0;
    if (resumeOnly == 1 && movie->playState == 0) return 0;
    if (movie->isTheora) {
        RestartTheoraMovieClock(movie);
        if (movie->sound != -1) PlaySoundHandle(movie->sound, type == 0 ? 1 : type, 0);
    } else if (movie->mediaControl != nullptr) {
        movie->mediaControl->Run();
    }
    movie->paused = 0;
    movie->playType = type == 0 ? 1 : type;
    movie->playState = 1;
    return 0;
}

int PauseMovie(int handle, int keepPlayState) {
    MovieRecord* movie = GetMovieRecord(handle);
    if (movie == nullptr) return -1;
    if (movie->paused == 1) return 0;
    if (movie->isTheora) {
        if (movie->sound != -1) StopSoundHandle(movie->sound);
        UpdateMovieFrame(handle, 0);
    } else {
        if (movie->mediaControl == nullptr) return 0;
        movie->mediaControl->Pause();
    }
    movie->paused = 1;
    if (keepPlayState == 0) movie->playState = 0;
    return 0;
}

int GetMovieState(int handle) {
    MovieRecord* movie = GetMovieRecord(handle);
    if (movie == nullptr) return -1;
    if (movie->isTheora) {
        if (movie->sound == -1 || CheckSoundHandlePlaying(movie->sound) == 1) return static_cast<int>(movie->playState);
        UpdateMovieFrame(handle, 0);
        movie->paused = 1;
        movie->playState = 0;
        return 0;
    }
    if (movie->mediaSeeking == nullptr || movie->mediaControl == nullptr) return static_cast<int>(movie->playState);
    OAFilterState state = State_Stopped;
    if (movie->mediaControl->GetState(kStateWait, &state) != S_OK) return static_cast<int>(movie->playState);
    LONGLONG current = 0;
    movie->mediaSeeking->GetCurrentPosition(&current);
    if ((movie->playType & kLoopPlayBit) != 0 || current < movie->stopPosition || state != State_Stopped)
        return static_cast<int>(movie->playState);
    movie->paused = 1;
    movie->playState = 0;
    return 0;
}

int SystemPauseAllMovies() {
    HandleTable& table = MovieTable();
    for (int slot = 0; slot < table.slotCount; ++slot) {
        const MovieRecord* movie = static_cast<const MovieRecord*>(table.slots[slot]);
        if (movie != nullptr) PauseMovie(MakeHandleValue(kMovieHandleKind, static_cast<int>(movie->check), slot), 1);
    }
    return 0;
}

int ResumeSystemPausedMovies() {
    HandleTable& table = MovieTable();
    for (int slot = 0; slot < table.slotCount; ++slot) {
        const MovieRecord* movie = static_cast<const MovieRecord*>(table.slots[slot]);
        if (movie == nullptr || movie->paused != 1 || movie->playState != 1) continue;
        PlayMovie(MakeHandleValue(kMovieHandleKind, static_cast<int>(movie->check), slot),
                  movie->playType == 0 ? 1 : movie->playType, 0);
    }
    return 0;
}

// The movies here bring their frames up to date as they are drawn.
int RefreshAllMovieFrames() { return 0; }
