// Expansion of block-compressed (DXT1 to DXT5) pixels into plain 32-bit
// A8R8G8B8 pixels, in place, before any pixel of such an image is accessed.
#pragma once

struct PixelImage;

// Replaces the image's blocks by plain pixels: the first level is decoded into
// a new block of width x 4 bytes a row (pitch width x 4), the block data and
// the further levels are freed, and the format becomes A8R8G8B8; mipCount is
// kept. The blocks lie row of blocks after row of blocks, each row holding
// width / 4 rounded up (the last block of a row, and the last row of blocks,
// only partly inside the image). DXT2 and DXT4 colour comes out divided by
// its alpha again. 0 for an image that is already plain; -1 for a null
// image, an image without size or block data, or a failed allocation, which
// leave the image as it was.
int ExpandSpecialFormat(PixelImage* image);
