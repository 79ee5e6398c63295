// The premultiplied plane and the run codes of a memory image.
#include "framework/softrender/memimg_work_buffers.h"

#include <cstddef>
#include <cstring>

#include "framework/softrender/memimg.h"

void BuildPremultipliedPlane(MemImgBase* base) {
    for (int y = 0; y < base->height; ++y) {
        const uint8_t* pixel = base->pixelMemory + static_cast<ptrdiff_t>(y) * base->pitch;
        uint8_t* out = base->premultipliedPlane + static_cast<ptrdiff_t>(y) * base->pitch;
        for (int x = 0; x < base->width; ++x, pixel += 4, out += 4) {
            if (base->colorType == kMemImgColor565) {
                const uint32_t c = static_cast<uint32_t>(pixel[0]) | static_cast<uint32_t>(pixel[1]) << 8;
                const uint32_t a = pixel[2];
                const uint32_t product =
                    (((c & 0xF800) * a & 0xF80000) | ((c & 0x07E0) * a & 0x7E000) | ((c & 0x001F) * a & 0x1F00)) >> 8;
                out[0] = static_cast<uint8_t>(product);
                out[1] = static_cast<uint8_t>(product >> 8);
                out[2] = static_cast<uint8_t>(a);
                out[3] = 0;
            } else {
                const uint32_t a = pixel[3];
                out[0] = static_cast<uint8_t>(pixel[0] * a >> 8);
                out[1] = static_cast<uint8_t>(pixel[1] * a >> 8);
                out[2] = static_cast<uint8_t>(pixel[2] * a >> 8);
                out[3] = static_cast<uint8_t>(a);
            }
        }
    }
}

namespace {

// The kind of run a pixel belongs to.
uint8_t RunKindOf(const MemImgBase* base, const uint8_t* row, int x) {
    if (base->paletteFlag) {
        return row[x] == static_cast<uint8_t>(base->transparentColor) ? kRunTransparent : kRunOpaque;
    }
    if (base->alphaFlag) {
        const uint8_t alpha = base->colorType == kMemImgColor565 ? row[x * 4 + 2] : row[x * 4 + 3];
        return alpha == 0 ? kRunTransparent : alpha == 255 ? kRunOpaque : kRunTranslucent;
    }
    if (base->colorType == kMemImgColor565) {
        uint16_t value;
        std::memcpy(&value, row + x * 2, 2);
        return value == static_cast<uint16_t>(base->transparentColor) ? kRunTransparent : kRunOpaque;
    }
    uint32_t value;
    std::memcpy(&value, row + x * 4, 4);
    return value == base->transparentColor ? kRunTransparent : kRunOpaque;
}

}  // namespace

int BuildRunCodes(MemImgBase* base) {
    uint8_t* code = base->runCodeBuffer;
    for (int y = 0; y < base->height; ++y) {
        const uint8_t* row = base->pixelMemory + static_cast<ptrdiff_t>(y) * base->pitch;
        int x = 0;
        while (x < base->width) {
            const uint8_t kind = RunKindOf(base, row, x);
            int length = 1;
            while (x + length < base->width && length < kMaxRunLength && RunKindOf(base, row, x + length) == kind) {
                ++length;
            }
            *code++ = static_cast<uint8_t>(kind | (length - 1));
            x += length;
        }
        *code++ = kRunEndOfRow;
    }
    return static_cast<int>(code - base->runCodeBuffer);
}
