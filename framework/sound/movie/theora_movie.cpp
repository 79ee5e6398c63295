// Stand-in until the Ogg Theora player is built.
// No file is taken for a Theora movie, so every movie goes to the filter
// graph.
#include "framework/sound/movie/theora_movie.h"

TheoraMovie* OpenTheoraMovie(uintptr_t, const FileAccessTable*, int) { return nullptr; }

void CloseTheoraMovie(TheoraMovie*) {}
