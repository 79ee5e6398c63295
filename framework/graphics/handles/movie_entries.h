// What graphics call of the movie subsystem: opening a movie file as a
// graphic, playing, pausing and closing it, and the frame it hands over.
#pragma once

#include <cstdint>

struct MovieRecord;
struct PixelImage;

// Called by a movie once a frame was brought up to date, with the argument
// given to SetMovieFrameCallback.
typedef int (*MovieFrameCallback)(MovieRecord* movie, int argument);

// A movie handle, or -1; the frame size goes to width and height (either may
// be null). `mode` has no effect.
int OpenMovie(const char* fileName, int* width, int* height, int mode);
// 0, or -1 for a handle that names no movie (-1 among them).
int CloseMovie(int movie);
int PlayMovie(int movie, int playType, int resumeOnly);
int PauseMovie(int movie, int keepPlayState);
// 1 playing, 0 stopped, -1 for a bad handle.
int GetMovieState(int movie);
int SetMovieFrameCallback(int movie, MovieFrameCallback callback, int argument);
// Brings the movie's current frame up to date (the draws run it before each
// draw of a movie graphic); `flag` has no effect. 0, also for a bad handle.
int UpdateMovieFrame(int movie, int flag);
// The movie's current frame as an RGB image, made from the decoder's own
// frame where it holds it another way; null when no frame can be had.
PixelImage* GetMovieFrameImage(MovieRecord* movie);
