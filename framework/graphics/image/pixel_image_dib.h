// A pixel image handed over as a device-independent bitmap for GDI.
#pragma once

#include "platform/gdi/gdi.h"

struct PixelImage;

// The block a DIB header is handed over in: the info header and room for a
// full 256-entry palette.
constexpr int kDibHeaderBlockSize = 1068;

// Fills `header` for a top-down, uncompressed DIB of the image and points
// *bits at its rows. An 8-bit image (unless force24 is set) stays 8-bit with
// its palette copied behind the header, so the header must have room for the
// BITMAPINFOHEADER and 256 RGBQUADs; anything else becomes 24-bit blue, green,
// red with rows padded to 4 bytes. The image's own pixels are handed over when
// their layout and pitch already fit and forceCopy is not 1. Block-compressed
// pixels are expanded first.
// Returns 1 when *bits is a new block of the framework allocator that the
// caller frees, 0 when *bits are the image's own pixels, -1 for an image
// without pixels or a failed allocation.
int PixelImageToDib(PixelImage* image, BITMAPINFO* header, void** bits, int forceCopy, int force24);
