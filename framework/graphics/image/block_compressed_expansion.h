// Expansion of block-compressed (DXT1 to DXT5) pixels into plain 32-bit
// A8R8G8B8 pixels, in place, before any pixel of such an image is accessed.
#pragma once

struct PixelImage;

// Replaces the image's blocks by plain pixels; 0 for an image that is already
// plain, -1 when it cannot be expanded.
int ExpandSpecialFormat(PixelImage* image);
