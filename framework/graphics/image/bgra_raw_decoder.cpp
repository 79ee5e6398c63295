// The framework's raw image: "BGRA", a channel-depth word (8 or 16 bits a
// channel), width and height, then blue, green, red and alpha of each pixel
// from the top row down. 16-bit channels keep their high byte.
#include <cstring>

#include "framework/graphics/image/image_loaders.h"
#include "framework/graphics/image/image_stream_reading.h"

namespace {

constexpr uint32_t kEightBitChannels = 0x08080808;
constexpr uint32_t kSixteenBitChannels = 0x10101010;

}  // namespace

int DecodeBgraRaw(const StreamSource* source, PixelImage* image) {
    const int64_t length = StreamLength(*source);
    uint8_t header[16];
    if (length < 0 || !ReadStreamBytes(*source, header, sizeof header)) return -1;
    if (std::memcmp(header, "BGRA", 4) != 0) return -1;
    const uint32_t depth = LittleEndian32(header + 4);
    const auto width = static_cast<int32_t>(LittleEndian32(header + 8));
    const auto height = static_cast<int32_t>(LittleEndian32(header + 12));
    if (depth != kEightBitChannels && depth != kSixteenBitChannels) return -1;
    if (!IsUsableImageSide(width) || !IsUsableImageSide(height)) return -1;

    const int64_t pitch = int64_t{width} * 4;
    const int64_t fileRow = depth == kEightBitChannels ? pitch : pitch * 2;
    if (fileRow * height > length - StreamPosition(*source)) return -1;
    auto* pixels = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(pitch * height), __FILE__, __LINE__));
    if (pixels == nullptr) return -1;

    bool read = true;
    if (depth == kEightBitChannels) {
        read = ReadStreamBytes(*source, pixels, static_cast<uint64_t>(pitch * height));
    } else {
        auto* row = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(fileRow), __FILE__, __LINE__));
        read = row != nullptr;
        for (int y = 0; read && y < height; ++y) {
            read = ReadStreamBytes(*source, row, static_cast<uint64_t>(fileRow));
            uint8_t* out = pixels + static_cast<ptrdiff_t>(y) * pitch;
            // Little-endian 16-bit channels: the high byte is the second one.
            for (int64_t i = 0; read && i < pitch; ++i) out[i] = row[2 * i + 1];
        }
        if (row != nullptr) FreeMemory(row);
    }
    if (!read) {
        FreeMemory(pixels);
        return -1;
    }

    UseArgb32Format(&image->format);
    image->width = width;
    image->height = height;
    image->pitch = static_cast<int32_t>(pitch);
    image->pixels = pixels;
    image->mipCount = 0;
    return 0;
}
