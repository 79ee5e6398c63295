// Loading an image from a file (through the file-access table, so files
// inside archives load too) or from a block of memory, through the loader
// table; and loading a colour image together with its alpha image, whose
// file name adds "_a" before the extension.
#pragma once

#include "framework/graphics/image/pixel_format.h"
#include "platform/gdi/gdi.h"

// fromMemory 0 reads the file `fileName`, otherwise the `dataSize` bytes at
// `data`. With wantDib 0 the image goes to outImage, whose pixels the caller
// then owns; otherwise outDibHeader receives a new block of
// kDibHeaderBlockSize bytes (info header and palette) and outDibBits the
// bits of a top-down DIB, both the caller's to free. mirror 1 mirrors the
// image left to right first. 0, or -1 with nothing left allocated.
int LoadPixelImageFromFileOrMemory(const char* fileName, const void* data, int dataSize, int fromMemory,
                                   int wantDib, int mirror, PixelImage* outImage, BITMAPINFO** outDibHeader,
                                   void** outDibBits);
// The same without the DIB.
int LoadPixelImage(const char* fileName, const void* data, int dataSize, int fromMemory, PixelImage* outImage,
                   int mirror);

// Loads the colour image, then its alpha image (from memory when
// alphaFromMemory is 1, else from the alpha file of `fileName`), both with
// the same mirror. -1 when the colour image fails, 0 when both loaded, 1 when
// there is no alpha image (none asked for, or it does not load); outAlphaImage
// is then cleared.
int LoadImageAndAlphaFiles(const char* fileName, const void* data, int dataSize, int fromMemory,
                           const void* alphaData, int alphaDataSize, int alphaFromMemory, PixelImage* outImage,
                           PixelImage* outAlphaImage, int mirror);

// The alpha file's name: "_a" goes in front of the file name's last ".", or
// at its end when the file name (after the last folder separator) has none.
// A new block from the framework allocator, or null when none is left.
char* BuildAlphaFileName(const char* fileName);
