// The byte counts of the mip levels that a DDS image stores one after
// another: the one rule by which the loader measures the data it reads and
// the texture upload finds each level in it.
#pragma once

#include <cstdint>

struct PixelFormat;

// The blocks of 4 x 4 pixels along a side of `side` pixels: a remainder takes
// one more block, and a side of 1 to 3 pixels (a small mip level) one block.
inline int BlocksAlong(int side) { return side > 4 ? (side + 3) / 4 : 1; }

// Bytes of level `level` of an image of width x height pixels in `format`
// whose first level has rows of `pitch` bytes. Level i is w = max(1, width >>
// i) by h = max(1, height >> i) pixels: BlocksAlong(w) x BlocksAlong(h)
// blocks of 8 bytes (DXT1) or 16 bytes (DXT2 to DXT5); plain pixels take
// pitch x height bytes at the first level and w x h x bytes per pixel after
// it.
uint64_t MipLevelByteCount(const PixelFormat& format, int width, int height, int pitch, uint32_t level);

// The sum of levels 0 to levels - 1 (the first level alone for 0 or 1).
uint64_t MipChainByteCount(const PixelFormat& format, int width, int height, int pitch, uint32_t levels);

// The number of levels of a full chain down to 1 x 1: floor(log2(max(width,
// height))) + 1.
uint32_t FullMipChainLength(int width, int height);
