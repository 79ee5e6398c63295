// Stand-in until movie handles and playback are built.
// No movie can be opened, so every call on a movie handle is refused.
#include "framework/graphics/movie_entries.h"

int OpenMovie(const char*, int*, int*, int) { return -1; }

int CloseMovie(int) { return -1; }

int PlayMovie(int, int, int) { return -1; }

int PauseMovie(int, int) { return -1; }

int GetMovieState(int) { return -1; }

int SetMovieFrameCallback(int, MovieFrameCallback, int) { return -1; }

PixelImage* GetMovieFrameImage(MovieRecord*) { return nullptr; }
