// The framework's own Ogg Theora player as the movie code calls it: one
// decode thread per movie keeps a small stock of decoded pictures ahead of
// the frame the player wants, and the wanted frame converts to XRGB, or goes
// into an off-screen YUV surface when the device offers one.
#pragma once

#include <cstdint>

#include "framework/files/file_access_table.h"

struct TheoraMovie;
struct PixelImage;
struct IDirect3DSurface9;

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
// Brings the RGB image (`wantRgb`) and/or the YUV surface (`wantSurface`)
// up to the wanted frame, waiting for the decode thread to have it: 1 when
// it converted or found them ready, 0 when the frame is not to be had (the
// data ended, or the decode thread ended) or nothing is asked for. A surface
// that cannot be locked is made again, at most three times in all; then the
// movie gives it up and its frames go to the RGB image only.
int ConvertTheoraFrameToRgb(TheoraMovie* movie, int wantRgb, int wantSurface);
// (Re)makes the YUV surface on the Direct3D device in use: YV12, else YUY2,
// else UYVY, or none (no device, none of them offered, or pictures that are
// not 4:2:0, which only the RGB image converts). Returns 0.
int CreateTheoraYuvSurface(TheoraMovie* movie);
// Lets go of the YUV surface, if any: the frames then go to the RGB image.
void ReleaseTheoraYuvSurface(TheoraMovie* movie);
// The YUV surface, or null.
IDirect3DSurface9* GetTheoraYuvSurface(TheoraMovie* movie);
int GetTheoraMovieInfo(TheoraMovie* movie, TheoraMovieInfo* info);
int GetTheoraCurrentFrame(TheoraMovie* movie);
PixelImage* GetTheoraRgbImage(TheoraMovie* movie);
