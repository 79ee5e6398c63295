// Decoding DXT1 to DXT5 blocks into A8R8G8B8 pixels, block by block: each
// block's four-colour and eight-alpha palettes are made once and its four rows
// written straight into the destination rows.
#include "framework/graphics/image/block_compressed_expansion.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/mip_level_sizes.h"
#include "framework/graphics/image/pixel_format.h"

namespace {

// One A8R8G8B8 pixel in memory order.
struct Bgra {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t alpha;
};

uint32_t ReadLittleEndian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

// A 5-6-5 endpoint widened to 8 bits a channel, truncating.
Bgra WidenEndpoint(uint32_t color) {
    return Bgra{static_cast<uint8_t>((color & 31) * 255 / 31), static_cast<uint8_t>((color >> 5 & 63) * 255 / 63),
                static_cast<uint8_t>((color >> 11) * 255 / 31), 255};
}

// (wa x a + wb x b) / divisor for each colour channel.
Bgra Mix(const Bgra& a, int wa, const Bgra& b, int wb, int divisor, uint8_t alpha) {
    const auto channel = [&](uint8_t x, uint8_t y) { return static_cast<uint8_t>((wa * x + wb * y) / divisor); };
    return Bgra{channel(a.blue, b.blue), channel(a.green, b.green), channel(a.red, b.red), alpha};
}

// The four colours of a colour half. DXT1 with colour 0 not above colour 1
// has three colours and a transparent fourth; every other block has four.
void BuildColorPalette(const uint8_t* half, bool dxt1, Bgra palette[4]) {
    const uint32_t color0 = ReadLittleEndian(half, 2);
    const uint32_t color1 = ReadLittleEndian(half + 2, 2);
    palette[0] = WidenEndpoint(color0);
    palette[1] = WidenEndpoint(color1);
    if (!dxt1 || color0 > color1) {
        palette[2] = Mix(palette[0], 2, palette[1], 1, 3, 255);
        palette[3] = Mix(palette[0], 1, palette[1], 2, 3, 255);
    } else {
        palette[2] = Mix(palette[0], 1, palette[1], 1, 2, 255);
        palette[3] = Mix(palette[0], 1, palette[1], 1, 2, 0);
    }
}

// The eight alphas of an interpolated alpha half.
void BuildAlphaPalette(const uint8_t* half, uint8_t alpha[8]) {
    const int a0 = half[0];
    const int a1 = half[1];
    alpha[0] = static_cast<uint8_t>(a0);
    alpha[1] = static_cast<uint8_t>(a1);
    if (a0 > a1) {
        for (int i = 1; i <= 6; ++i) alpha[i + 1] = static_cast<uint8_t>(((7 - i) * a0 + i * a1) / 7);
    } else {
        for (int i = 1; i <= 4; ++i) alpha[i + 1] = static_cast<uint8_t>(((5 - i) * a0 + i * a1) / 5);
        alpha[6] = 0;
        alpha[7] = 255;
    }
}

// Alpha of pixel k (0 to 15, row by row) of an alpha half.
uint8_t ExplicitAlpha(const uint8_t* half, int k) {
    const int nibble = half[k / 2] >> (k % 2 * 4) & 15;
    return static_cast<uint8_t>(nibble * 255 / 15);
}

uint8_t InterpolatedAlpha(const uint8_t* half, const uint8_t alpha[8], int k) {
    const uint32_t indices = ReadLittleEndian(half + (k < 8 ? 2 : 5), 3);
    return alpha[indices >> (k % 8 * 3) & 7];
}

// Colour that was stored multiplied by its alpha, divided back out. A pixel
// of alpha 0 has no colour left to recover, and a channel larger than its
// alpha stops at 255.
void Unpremultiply(Bgra* pixel) {
    if (pixel->alpha == 0) {
        pixel->blue = pixel->green = pixel->red = 0;
        return;
    }
    const auto divide = [alpha = pixel->alpha](uint8_t channel) {
        const int quotient = channel * 255 / alpha;
        return static_cast<uint8_t>(quotient > 255 ? 255 : quotient);
    };
    pixel->blue = divide(pixel->blue);
    pixel->green = divide(pixel->green);
    pixel->red = divide(pixel->red);
}

// Decodes one block into the columns and rows of it that lie inside the
// image: a block on the right or bottom edge of an image whose side is not a
// multiple of 4 is only partly the image's.
void DecodeBlock(const uint8_t* block, uint32_t kind, uint8_t* destination, int pitch, int columns, int rows) {
    const bool dxt1 = kind == kDxt1Pixels;
    const uint8_t* colorHalf = dxt1 ? block : block + 8;
    Bgra palette[4];
    BuildColorPalette(colorHalf, dxt1, palette);
    const uint32_t colorIndices = ReadLittleEndian(colorHalf + 4, 4);
    uint8_t alphaPalette[8] = {};
    const bool interpolated = kind == kDxt4Pixels || kind == kDxt5Pixels;
    if (interpolated) BuildAlphaPalette(block, alphaPalette);
    const bool premultiplied = kind == kDxt2Pixels || kind == kDxt4Pixels;

    for (int j = 0; j < rows; ++j) {
        uint8_t* row = destination + static_cast<ptrdiff_t>(j) * pitch;
        for (int i = 0; i < columns; ++i) {
            const int k = j * 4 + i;
            Bgra pixel = palette[colorIndices >> (k * 2) & 3];
            if (!dxt1) pixel.alpha = interpolated ? InterpolatedAlpha(block, alphaPalette, k) : ExplicitAlpha(block, k);
            if (premultiplied) Unpremultiply(&pixel);
            std::memcpy(row + i * 4, &pixel, sizeof pixel);
        }
    }
}

}  // namespace

int ExpandSpecialFormat(PixelImage* image) {
    if (image == nullptr) return -1;
    const uint32_t kind = image->format.specialFormat;
    if (kind == kPlainPixels) return 0;
    if (image->width <= 0 || image->height <= 0) return -1;
    const int64_t pitch = int64_t{image->width} * 4;
    const int64_t size = pitch * image->height;
    if (pitch > INT32_MAX || size > static_cast<int64_t>(MaxTrackedBlockSize)) return -1;
    const bool known = kind >= kDxt1Pixels && kind <= kDxt5Pixels;
    if (known && image->pixels == nullptr) return -1;
    // Zero-filled: an unknown block kind writes nothing.
    auto* pixels = static_cast<uint8_t*>(AllocZeroedMemory(static_cast<size_t>(size), __FILE__, __LINE__));
    if (pixels == nullptr) return -1;

    if (known) {
        const int blockBytes = kind == kDxt1Pixels ? 8 : 16;
        // A side that is not a multiple of 4 ends in a partly used block:
        // every row of blocks holds the rounded-up count, as the files do.
        const int blocksAcross = BlocksAlong(image->width);
        const int blocksDown = BlocksAlong(image->height);
        const uint8_t* block = image->pixels;
        for (int by = 0; by < blocksDown; ++by) {
            const int rows = image->height - by * 4 < 4 ? image->height - by * 4 : 4;
            for (int bx = 0; bx < blocksAcross; ++bx, block += blockBytes) {
                const int columns = image->width - bx * 4 < 4 ? image->width - bx * 4 : 4;
                uint8_t* destination =
                    pixels + static_cast<ptrdiff_t>(by) * 4 * pitch + static_cast<ptrdiff_t>(bx) * 16;
                DecodeBlock(block, kind, destination, static_cast<int>(pitch), columns, rows);
            }
        }
    }

    FreeMemory(image->pixels);
    image->pixels = pixels;
    image->pitch = static_cast<int32_t>(pitch);
    UseArgb32Format(&image->format);
    return 0;
}
