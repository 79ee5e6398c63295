// Internal to framework/graphics/image (and its tests): the run-length
// decoding of 4- and 8-bit bitmaps into one byte a pixel.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes `size` bytes of run-length data with `bits` (4 or 8) bits a pixel
// into `block`, which holds `rows` rows of `pitch` bytes, is zeroed, and is at
// least `width` bytes wide. The first row of the data is the bottom one of the
// image when `bottomUp`. Runs and literals are clipped to the row, and a delta
// that moves outside the image ends the bitmap. True when the bitmap ended
// (its end escape, its last row done or such a delta); false when the data
// ran out first.
bool DecodeBmpRunLength(const uint8_t* data, size_t size, int bits, int width, int rows,
                        bool bottomUp, uint8_t* block, int pitch);
