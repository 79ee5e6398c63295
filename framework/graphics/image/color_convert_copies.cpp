// The conversions that move pixels without splitting them into channels:
// same-format copies, the key-to-alpha copy and the 8-bit destinations.
#include <cstring>

#include "framework/graphics/image/color_convert_job.h"
#include "framework/graphics/image/pixel_value.h"

namespace {

// Every bit of a value of `bytes` bytes.
uint32_t AllBitsOfBytes(int bytes) { return bytes >= 4 ? 0xFFFFFFFFu : (1u << (bytes * 8)) - 1u; }

}  // namespace

void CopySameFormat(const ColorConvertJob& job) {
    const int bytes = job.srcFormat.bytesPerPixel;
    if (!job.mirror && !job.skipKey) {
        const size_t rowBytes = static_cast<size_t>(job.width) * bytes;
        for (int y = 0; y < job.height; ++y) std::memmove(job.DestRow(y), job.SourceRow(y), rowBytes);
        return;
    }
    const uint32_t key = job.key & AllBitsOfBytes(bytes);
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* source = job.SourceRow(y);
        uint8_t* destination = job.DestRow(y);
        for (int i = 0; i < job.width; ++i) {
            const uint32_t value = ReadPixelValue(source + i * bytes, bytes);
            if (job.skipKey && value == key) continue;
            WritePixelValue(destination + job.DestColumn(i) * bytes, bytes, value);
        }
    }
}

void CopyKeyToAlpha(const ColorConvertJob& job) {
    const PixelFormat& dst = job.dstFormat;
    const int bytes = dst.bytesPerPixel;
    const uint32_t nonColor = AllBitsOfBytes(bytes) & ~(dst.redMask | dst.greenMask | dst.blueMask);
    const uint32_t keyCode =
        PixelCodeFromRgba(&dst, static_cast<int>(job.key >> 16), static_cast<int>(job.key >> 8),
                          static_cast<int>(job.key), 255) | nonColor;
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* source = job.SourceRow(y);
        uint8_t* destination = job.DestRow(y);
        for (int i = 0; i < job.width; ++i) {
            uint32_t value = ReadPixelValue(source + i * bytes, bytes) | nonColor;
            if (value == keyCode) value &= ~dst.alphaMask;
            WritePixelValue(destination + job.DestColumn(i) * bytes, bytes, value);
        }
    }
}

void ConvertToPaletteIndices(const ColorConvertJob& job) {
    const PixelFormat& src = job.srcFormat;
    const int bytes = src.bytesPerPixel;
    // Neighbouring pixels are often equal; the nearest-colour search is not cheap.
    bool haveLast = false;
    uint32_t lastValue = 0;
    uint8_t lastIndex = 0;
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* source = job.SourceRow(y);
        uint8_t* destination = job.DestRow(y);
        for (int i = 0; i < job.width; ++i) {
            const uint32_t value = ReadPixelValue(source + i * bytes, bytes);
            if (!haveLast || value != lastValue) {
                lastIndex = static_cast<uint8_t>(PixelCodeFromRgba(
                    &job.dstFormat, static_cast<int>((value & src.redMask) >> src.redShift),
                    static_cast<int>((value & src.greenMask) >> src.greenShift),
                    static_cast<int>((value & src.blueMask) >> src.blueShift),
                    static_cast<int>((value & src.alphaMask) >> src.alphaShift)));
                lastValue = value;
                haveLast = true;
            }
            destination[i] = lastIndex;
        }
    }
}

int CopyPaletteIndices(const ColorConvertJob& job) {
    int largest = 0;
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* source = job.SourceRow(y);
        std::memmove(job.DestRow(y), source, static_cast<size_t>(job.width));
        for (int i = 0; i < job.width; ++i) {
            if (source[i] > largest) largest = source[i];
        }
    }
    return largest;
}

void RemapPaletteIndices(const ColorConvertJob& job) {
    uint8_t nearest[256];
    for (int i = 0; i < 256; ++i) {
        const PaletteColor& color = job.srcFormat.palette[i];
        nearest[i] = static_cast<uint8_t>(
            PixelCodeFromRgba(&job.dstFormat, color.red, color.green, color.blue, 0));
    }
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* source = job.SourceRow(y);
        uint8_t* destination = job.DestRow(y);
        for (int i = 0; i < job.width; ++i) destination[i] = nearest[source[i]];
    }
}
