// Moving pixels from the CPU side into a graphic's storage: into the textures
// of its image block on the hardware path, converting into each texture's
// format, merging a separate alpha image, keying the transparent colour to
// alpha and building mip levels; into the block's memory image on the
// software path. Movie frames reach the graphic that shows them this way.
#pragma once

#include "framework/graphics/handles/graphic_calls.h"
#include "platform/win_types.h"

struct MovieRecord;
struct PixelFormat;
struct PixelImage;

// Puts `sourceRect` of the image (with the alpha image, read at the same
// places, or null) into the graphic at (destX, destY): in the graphic's own
// coordinates, or in those of its whole image block when imageCoordinates is
// 1. The rectangle is cut to the images. Block-compressed images are copied
// as they are into textures of their own kind and expanded for any other.
// With bitmapMode nonzero the colour and alpha pixels are those of two DIB
// sections (the alpha one may be null), described by GDI and read in
// `bitmapFormat`, which must have the sections' bits per pixel; their rows
// are taken from the first one in memory down, as top-down sections hold
// them; `image` and `alphaImage` are then not read.
// 0 (also for an empty rectangle, and when a piece could not take a plain
// image), or -1 (logged) when the graphics system is down, the handle or a
// bitmap is bad or the device refuses a step.
int TransferImageToTexture(int handle, const PixelFormat* bitmapFormat, HBITMAP colorBitmap, HBITMAP alphaBitmap,
                           const RECT* sourceRect, int destX, int destY, int bitmapMode, PixelImage* image,
                           PixelImage* alphaImage, int oneBytePerPixel, int useTransparentColor, int imageCoordinates);
// The same from two pixel images.
int TransferImageToTexture(int handle, const RECT* sourceRect, int destX, int destY, PixelImage* image,
                           PixelImage* alphaImage, int oneBytePerPixel, int useTransparentColor, int imageCoordinates);

// The frame callback of a movie shown through a graphic: its current frame
// into the graphic. -1 for a bad handle or a movie without a frame.
int TransferMovieFrameToGraphic(MovieRecord* movie, int handle);
// A movie frame (or any image of the graphic's size) into the graphic: the
// graphic's own rectangle of the frame; on the software path whole rows when
// the depths agree.
int TransferFrameImageToGraphic(PixelImage* frame, int handle);
