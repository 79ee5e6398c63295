// Stand-in until movies is built.
// No movie is open until movie playback exists in this build.
#include "framework/sound/movie/movie_playback.h"

int RefreshAllMovieFrames() { return 0; }

int ResumeSystemPausedMovies() { return 0; }

int SystemPauseAllMovies() { return 0; }
