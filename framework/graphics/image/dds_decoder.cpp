// DDS surfaces. Plain pixels are described by the file's masks or by a
// Direct3D format number in the FourCC field; DXT1 to DXT5 blocks are kept
// as they are and expanded only when their pixels are touched. The mip levels
// the file stores follow the first one in the same block.
#include <cstring>

#include "framework/graphics/image/image_loaders.h"
#include "framework/graphics/image/image_stream_reading.h"
#include "framework/graphics/image/mip_level_sizes.h"

namespace {

constexpr int kHeaderSize = 124;

constexpr uint32_t kHeaderHasPitch = 0x8;
constexpr uint32_t kHeaderHasMipCount = 0x20000;
constexpr uint32_t kPixelsHaveAlpha = 0x1;
constexpr uint32_t kPixelsByFourCC = 0x4;
constexpr uint32_t kPixelsRgb = 0x40;
constexpr uint32_t kCapsComplex = 0x8;
constexpr uint32_t kCapsMipMap = 0x400000;

struct DdsFormatEntry {
    uint32_t number;
    int bits;
    uint32_t red, green, blue, alpha;
};

// Direct3D format numbers a DDS file may carry in its FourCC field.
constexpr DdsFormatEntry DdsD3dFormatTable[] = {
    {20, 24, 0xFF0000, 0xFF00, 0xFF, 0},
    {21, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {22, 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {23, 16, 0xF800, 0x7E0, 0x1F, 0},
    {24, 16, 0x7C00, 0x3E0, 0x1F, 0},
    {25, 16, 0x7C00, 0x3E0, 0x1F, 0x8000},
    {26, 16, 0xF00, 0xF0, 0xF, 0xF000},
    {27, 8, 0xE0, 0x1C, 0x3, 0},
    {29, 16, 0xE0, 0x1C, 0x3, 0xFF00},
    {30, 16, 0xF00, 0xF0, 0xF, 0},
    {31, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000},
    {32, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
    {33, 32, 0xFF, 0xFF00, 0xFF0000, 0},
    {35, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
    {0xFFFFFFFF, 0, 0, 0, 0, 0},
};

const DdsFormatEntry* FindD3dFormat(uint32_t number) {
    for (const DdsFormatEntry* entry = DdsD3dFormatTable; entry->number != 0xFFFFFFFF; ++entry) {
        if (entry->number == number) return entry;
    }
    return nullptr;
}

// 1 to 5 for "DXT1" to "DXT5", else 0.
uint32_t BlockCode(const uint8_t* fourCC) {
    if (std::memcmp(fourCC, "DXT", 3) != 0 || fourCC[3] < '1' || fourCC[3] > '5') return 0;
    return static_cast<uint32_t>(fourCC[3] - '0');
}

// The pixel format of the header; false when it names none the loader knows.
bool ReadPixelFormat(const uint8_t* header, PixelFormat* format) {
    const uint32_t flags = LittleEndian32(header + 76);
    const uint32_t fourCC = LittleEndian32(header + 80);
    const int bits = static_cast<int>(LittleEndian32(header + 84));
    const uint32_t red = LittleEndian32(header + 88);
    const uint32_t green = LittleEndian32(header + 92);
    const uint32_t blue = LittleEndian32(header + 96);
    const uint32_t alpha = LittleEndian32(header + 100);

    const DdsFormatEntry* entry = flags == kPixelsByFourCC ? FindD3dFormat(fourCC) : nullptr;
    if (entry != nullptr) {
        DefinePixelFormat(format, entry->bits, entry->red, entry->green, entry->blue, entry->alpha);
        return true;
    }
    if (flags & kPixelsByFourCC) {
        const uint32_t code = BlockCode(header + 80);
        if (code == 0) return false;
        DefinePixelFormat(format, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
        format->specialFormat = code;
        format->bitsPerPixel = code == kDxt1Pixels ? 4 : 8;
        return true;
    }
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    // RGB pixels without the alpha flag have no alpha, whatever the mask says.
    const bool alphaUsed = (flags & kPixelsRgb) == 0 || (flags & kPixelsHaveAlpha) != 0;
    DefinePixelFormat(format, bits, red, green, blue, alphaUsed ? alpha : 0);
    return true;
}

}  // namespace

int DecodeDds(const StreamSource* source, PixelImage* image) {
    const int64_t length = StreamLength(*source);
    uint8_t magic[4];
    uint8_t header[kHeaderSize];
    if (length < 0 || !ReadStreamBytes(*source, magic, sizeof magic)) return -1;
    if (std::memcmp(magic, "DDS", 3) != 0) return -1;
    if (!ReadStreamBytes(*source, header, sizeof header)) return -1;

    const uint32_t flags = LittleEndian32(header + 4);
    const uint32_t height = LittleEndian32(header + 8);
    const uint32_t width = LittleEndian32(header + 12);
    const uint32_t caps = LittleEndian32(header + 104);
    if (!IsUsableImageSide(width) || !IsUsableImageSide(height)) return -1;
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);

    PixelFormat format{};
    if (!ReadPixelFormat(header, &format)) return -1;

    uint32_t mipCount = 0;
    if ((flags & kHeaderHasMipCount) && (caps & kCapsMipMap) && (caps & kCapsComplex)) {
        mipCount = LittleEndian32(header + 24);
        if (mipCount > FullMipChainLength(w, h)) return -1;
    }

    int64_t pitch = 0;
    if (format.specialFormat == kPlainPixels) {
        const int64_t rowBytes = int64_t{w} * format.bytesPerPixel;
        pitch = (flags & kHeaderHasPitch) ? int64_t{LittleEndian32(header + 16)} : rowBytes;
        if (pitch < rowBytes || pitch > INT32_MAX) return -1;
    }
    const uint64_t size = MipChainByteCount(format, w, h, static_cast<int>(pitch), mipCount);
    if (size > static_cast<uint64_t>(length - StreamPosition(*source)) || !FitsOneBlock(size)) return -1;

    // A block image smaller than one block has no data of its own.
    auto* pixels = static_cast<uint8_t*>(AllocMemory(size > 0 ? static_cast<size_t>(size) : 1, __FILE__, __LINE__));
    if (pixels == nullptr) return -1;
    if (!ReadStreamBytes(*source, pixels, size)) {
        FreeMemory(pixels);
        return -1;
    }
    image->format = format;
    image->width = w;
    image->height = h;
    image->pitch = static_cast<int32_t>(pitch);
    image->pixels = pixels;
    image->mipCount = mipCount;
    return 0;
}
