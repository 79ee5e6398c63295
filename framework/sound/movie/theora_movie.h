// The framework's own Ogg Theora player as the movie code calls it.
#pragma once

#include <cstdint>

#include "framework/files/file_access_table.h"

struct TheoraMovie;

// Opens the file that `file` reads through `access`, keeping `frameStock`
// decoded frames ahead; null when it holds no Theora movie.
TheoraMovie* OpenTheoraMovie(uintptr_t file, const FileAccessTable* access, int frameStock);
void CloseTheoraMovie(TheoraMovie* movie);
