// Movie handles beyond what graphics call: the record behind a handle and
// the frame update the draws run before each draw of a movie graphic.
#pragma once

#include "framework/graphics/handles/movie_entries.h"

// The record, or null when the handle names no open movie.
MovieRecord* GetMovieRecord(int movie);
