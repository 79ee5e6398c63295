// Stand-in until movie playback is built.
// No movie can be opened, so there is never a newer frame to take. Weak, so
// that playback's own definition takes its place.
#include "framework/graphics/movie_frame_update.h"

__attribute__((weak)) int UpdateMovieFrame(int, int) { return -1; }
