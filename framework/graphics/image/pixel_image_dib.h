// Handing a pixel image to GDI as a top-down DIB: 8-bit palette images as
// 8-bit DIBs with their palette, everything else as 24-bit DIBs.
#pragma once

#include "framework/graphics/image/pixel_format.h"
#include "platform/gdi/gdi.h"

// Bytes of a DIB header block: the 40-byte info header, a 256-entry palette
// and four spare bytes.
constexpr int kDibHeaderBlockSize = 1068;

// Fills `header` (a block of kDibHeaderBlockSize bytes) and sets `bits`.
// Returns 1 when the bits are a new block from the framework allocator (the
// caller frees it), 0 when they are the image's own pixels, -1 when a block
// cannot be allocated. `forceCopy` 1 always copies; `force24` makes a 24-bit
// DIB of an 8-bit image too.
int PixelImageToDib(const PixelImage* image, BITMAPINFO* header, void** bits, int forceCopy, int force24);
