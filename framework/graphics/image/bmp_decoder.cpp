// Windows bitmaps. 4- and 8-bit images (plain or run-length) stay palette
// images of one byte a pixel and 24-bit ones keep their rows; 1-, 16- and
// 32-bit images and bit fields become 24-bit images, so their alpha is not
// kept. Every image comes out top row first.
#include <cstring>

#include "framework/base/log.h"
#include "framework/graphics/image/bmp_run_length.h"
#include "framework/graphics/image/color_convert_job.h"
#include "framework/graphics/image/image_loaders.h"
#include "framework/graphics/image/image_stream_reading.h"
#include "framework/graphics/image/pixel_format.h"

namespace {

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

struct BmpLayout {
    int width;
    int rows;
    bool bottomUp;  // a positive height: the file's first row is the bottom one
    int bits;
    uint32_t compression;
    uint32_t masks[3];
    PaletteColor palette[256];
    int64_t stride;  // bytes of one row in the file
};

bool IsKnownKind(int bits, uint32_t compression) {
    switch (compression) {
    case kCompressionNone:
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kCompressionRle8:
        return bits == 8;
    case kCompressionRle4:
        return bits == 4;
    case kCompressionBitFields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

// Reads the two headers and the colour information: the palette of up to
// 2^bits entries behind the info header (as many as the file holds before its
// pixels; the rest stay black), or the three masks of bit fields.
bool ReadLayout(const StreamSource& source, int64_t length, int64_t* pixelOffset, BmpLayout* layout) {
    uint8_t fileHeader[kFileHeaderSize];
    if (!ReadStreamBytes(source, fileHeader, sizeof fileHeader)) return false;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return false;
    *pixelOffset = LittleEndian32(fileHeader + 10);

    uint8_t info[kInfoHeaderSize];
    if (!ReadStreamBytes(source, info, sizeof info)) return false;
    // Older, smaller headers lay their fields out differently.
    const uint32_t infoSize = LittleEndian32(info);
    if (infoSize < kInfoHeaderSize) return false;
    const auto width = static_cast<int32_t>(LittleEndian32(info + 4));
    const auto height = static_cast<int32_t>(LittleEndian32(info + 8));
    const int64_t rows = height < 0 ? -int64_t{height} : height;
    if (!IsUsableImageSide(width) || !IsUsableImageSide(rows)) return false;
    layout->width = width;
    layout->rows = static_cast<int>(rows);
    layout->bottomUp = height > 0;
    layout->bits = LittleEndian16(info + 14);
    layout->compression = LittleEndian32(info + 16);
    if (!IsKnownKind(layout->bits, layout->compression)) return false;
    layout->stride = (int64_t{layout->bits} * width + 31) / 32 * 4;

    std::memset(layout->masks, 0, sizeof layout->masks);
    std::memset(layout->palette, 0, sizeof layout->palette);
    if (layout->compression == kCompressionBitFields) {
        uint8_t masks[12];
        if (!ReadStreamBytes(source, masks, sizeof masks)) return false;
        for (int i = 0; i < 3; ++i) layout->masks[i] = LittleEndian32(masks + 4 * i);
    } else if (layout->bits <= 8) {
        const int64_t paletteStart = kFileHeaderSize + int64_t{infoSize};
        const int64_t paletteEnd = *pixelOffset < length ? *pixelOffset : length;
        int64_t entries = paletteEnd > paletteStart ? (paletteEnd - paletteStart) / 4 : 0;
        if (entries > (int64_t{1} << layout->bits)) entries = int64_t{1} << layout->bits;
        uint8_t quads[256 * 4];
        if (entries > 0 && (!SeekStreamTo(source, paletteStart) ||
                            !ReadStreamBytes(source, quads, static_cast<uint64_t>(entries) * 4))) {
            return false;
        }
        for (int64_t i = 0; i < entries; ++i) {
            layout->palette[i] = {quads[4 * i], quads[4 * i + 1], quads[4 * i + 2], 0};
        }
    }
    return true;
}

uint8_t* AllocPixels(int64_t size, bool zeroed) {
    if (size <= 0 || !FitsOneBlock(static_cast<uint64_t>(size))) return nullptr;
    return static_cast<uint8_t*>(zeroed ? AllocZeroedMemory(static_cast<size_t>(size), __FILE__, __LINE__)
                                        : AllocMemory(static_cast<size_t>(size), __FILE__, __LINE__));
}

// The file row that holds image row `y`.
const uint8_t* FileRow(const BmpLayout& layout, const uint8_t* data, int y) {
    const int fileRow = layout.bottomUp ? layout.rows - 1 - y : y;
    return data + static_cast<ptrdiff_t>(fileRow) * layout.stride;
}

void UsePalette(const BmpLayout& layout, PixelImage* image) {
    UsePalette8Format(&image->format);
    std::memcpy(image->format.palette, layout.palette, sizeof layout.palette);
}

int FinishImage(const BmpLayout& layout, uint8_t* pixels, int64_t pitch, PixelImage* image) {
    image->width = layout.width;
    image->height = layout.rows;
    image->pitch = static_cast<int32_t>(pitch);
    image->pixels = pixels;
    image->mipCount = 0;
    return 0;
}

int DecodeRunLength(const BmpLayout& layout, const uint8_t* data, size_t size, PixelImage* image) {
    const int64_t pitch = (int64_t{layout.width} + 3) & ~int64_t{3};
    uint8_t* pixels = AllocPixels(pitch * layout.rows, true);
    if (pixels == nullptr) return -1;
    if (!DecodeBmpRunLength(data, size, layout.bits, layout.width, layout.rows, layout.bottomUp, pixels,
                            static_cast<int>(pitch))) {
        FreeMemory(pixels);
        return -1;
    }
    UsePalette(layout, image);
    return FinishImage(layout, pixels, pitch, image);
}

int UnpackFourBits(const BmpLayout& layout, const uint8_t* data, PixelImage* image) {
    const int64_t pitch = (int64_t{layout.width} + 3) & ~int64_t{3};
    uint8_t* pixels = AllocPixels(pitch * layout.rows, true);
    if (pixels == nullptr) return -1;
    for (int y = 0; y < layout.rows; ++y) {
        const uint8_t* in = FileRow(layout, data, y);
        uint8_t* out = pixels + static_cast<ptrdiff_t>(y) * pitch;
        for (int x = 0; x < layout.width; ++x) {
            out[x] = (x % 2 == 0) ? static_cast<uint8_t>(in[x / 2] >> 4) : static_cast<uint8_t>(in[x / 2] & 0x0F);
        }
    }
    UsePalette(layout, image);
    return FinishImage(layout, pixels, pitch, image);
}

// 8- and 24-bit rows are kept as they are, turned top down when needed.
// Takes the data block over.
int KeepRows(const BmpLayout& layout, uint8_t* data, PixelImage* image) {
    uint8_t* pixels = data;
    if (layout.bottomUp) {
        pixels = AllocPixels(layout.stride * layout.rows, false);
        if (pixels == nullptr) {
            FreeMemory(data);
            return -1;
        }
        for (int y = 0; y < layout.rows; ++y) {
            std::memcpy(pixels + static_cast<ptrdiff_t>(y) * layout.stride, FileRow(layout, data, y),
                        static_cast<size_t>(layout.stride));
        }
        FreeMemory(data);
    }
    if (layout.bits == 8) {
        UsePalette(layout, image);
    } else {
        UseRgb24Format(&image->format);
    }
    return FinishImage(layout, pixels, layout.stride, image);
}

// The source format of a 16- or 32-bit bitmap: its bit fields, or else
// 5-5-5 and 8-8-8 without alpha.
PixelFormat DirectColourFormat(const BmpLayout& layout) {
    PixelFormat format{};
    if (layout.compression == kCompressionBitFields) {
        DefinePixelFormat(&format, layout.bits, layout.masks[0], layout.masks[1], layout.masks[2], 0);
    } else if (layout.bits == 16) {
        DefinePixelFormat(&format, 16, 0x7C00, 0x03E0, 0x001F, 0);
    } else {
        DefinePixelFormat(&format, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    }
    return format;
}

int ConvertTo24Bits(const BmpLayout& layout, const uint8_t* data, PixelImage* image) {
    const int64_t pitch = (int64_t{layout.width} * 3 + 3) & ~int64_t{3};
    uint8_t* pixels = AllocPixels(pitch * layout.rows, true);
    if (pixels == nullptr) {
        WriteLogLine("２４ビットカラー化したグラフィックを格納するメモリ領域の確保に失敗しました");
        return -1;
    }
    // Every channel is widened to the full range (a 5-bit 31 and a 6-bit 63
    // both become 255), as drawing the bitmap onto a 24-bit surface does. The
    // blit's fast 5-6-5 loop only shifts its channels up (white would come
    // out 248, 252, 248), so the rows go to the per-channel loop directly
    // rather than through the blit's choice of loop.
    ColorConvertJob job{};
    UseRgb24Format(&job.dstFormat);
    job.srcFormat = DirectColourFormat(layout);
    job.dstPitch = static_cast<int>(pitch);
    job.srcPitch = static_cast<int>(layout.stride);
    job.width = layout.width;
    job.height = 1;
    for (int y = 0; y < layout.rows; ++y) {
        const uint8_t* in = FileRow(layout, data, y);
        uint8_t* out = pixels + static_cast<ptrdiff_t>(y) * pitch;
        if (layout.bits == 1) {
            for (int x = 0; x < layout.width; ++x) {
                const PaletteColor& colour = layout.palette[(in[x / 8] >> (7 - x % 8)) & 1];
                out[3 * x] = colour.blue;
                out[3 * x + 1] = colour.green;
                out[3 * x + 2] = colour.red;
            }
            continue;
        }
        job.dst = out;
        job.src = in;
        ConvertWithGeneralLoop(job);
    }
    UseRgb24Format(&image->format);
    return FinishImage(layout, pixels, pitch, image);
}

}  // namespace

int DecodeBmp(const StreamSource* source, PixelImage* image) {
    const int64_t length = StreamLength(*source);
    if (length < 0) return -1;
    int64_t pixelOffset = 0;
    BmpLayout layout;
    if (!ReadLayout(*source, length, &pixelOffset, &layout)) return -1;
    if (pixelOffset > length || !SeekStreamTo(*source, pixelOffset)) return -1;
    const int64_t available = length - pixelOffset;

    const bool runLength = layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4;
    // Plain pixel data must hold every row.
    const int64_t wanted = runLength ? available : layout.stride * layout.rows;
    if (wanted > available) return -1;
    uint8_t* data = AllocPixels(wanted, false);
    if (data == nullptr) return -1;
    if (!ReadStreamBytes(*source, data, static_cast<uint64_t>(wanted))) {
        FreeMemory(data);
        return -1;
    }

    int result;
    if (runLength) {
        result = DecodeRunLength(layout, data, static_cast<size_t>(wanted), image);
    } else if (layout.bits == 4) {
        result = UnpackFourBits(layout, data, image);
    } else if ((layout.bits == 8 || layout.bits == 24) && layout.compression == kCompressionNone) {
        return KeepRows(layout, data, image);
    } else {
        result = ConvertTo24Bits(layout, data, image);
    }
    FreeMemory(data);
    return result;
}
