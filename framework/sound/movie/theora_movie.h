// The framework's own Ogg Theora player as the movie code calls it: one
// decode thread per movie keeps a small stock of decoded pictures ahead of
// the frame the player wants, and the wanted frame converts to XRGB.
#pragma once

#include <cstdint>

#include "framework/files/file_access_table.h"

struct TheoraMovie;
struct PixelImage;

struct TheoraMovieInfo {
    double frameRate;
    uint32_t totalFrames;
    // The coded frame size.
    uint32_t width;
    uint32_t height;
};

// Opens the file that `file` reads through `access`, keeping `frameStock`
// decoded frames ahead; null when it holds no Theora movie (after reading
// only its first four bytes when it is no Ogg file) or when a failure was
// logged. The file must stay open until the movie is closed.
TheoraMovie* OpenTheoraMovie(uintptr_t file, const FileAccessTable* access, int frameStock);
// Stops and joins the decode thread, then frees everything. Returns 0.
int CloseTheoraMovie(TheoraMovie* movie);
// Makes `frame` the wanted and decoded position. Returns 0.
int SeekTheoraMovie(TheoraMovie* movie, int frame);
// Moves the wanted frame on by `step` (nothing below 1), past the last frame
// back to the start. Returns 0.
int AdvanceTheoraFrame(TheoraMovie* movie, int step);
// Brings the RGB image up to the wanted frame: 1 when it converted or was
// ready, 0 when the frame is not to be had (the data ended, the thread ended,
// or it did not come within about 200 ms). `wantSurface` asks for the YUV
// surface, which this device never offers.
int ConvertTheoraFrameToRgb(TheoraMovie* movie, int wantRgb, int wantSurface);
int GetTheoraMovieInfo(TheoraMovie* movie, TheoraMovieInfo* info);
int GetTheoraCurrentFrame(TheoraMovie* movie);
PixelImage* GetTheoraRgbImage(TheoraMovie* movie);
