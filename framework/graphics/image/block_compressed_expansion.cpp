// Stand-in until block-compressed expansion is built.
// Block decoding is not built yet: plain images pass, block-compressed ones
// cannot be expanded, so every pixel access to them fails cleanly.
#include "framework/graphics/image/block_compressed_expansion.h"

#include "framework/graphics/image/pixel_format.h"

int ExpandSpecialFormat(PixelImage* image) {
    if (image == nullptr) return -1;
    return image->format.specialFormat == kPlainPixels ? 0 : -1;
}
