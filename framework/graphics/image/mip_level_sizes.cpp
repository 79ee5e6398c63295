// Mip level sizes. Levels never shrink below one pixel or one block, so a
// short file can be told from the sum before any level is read.
#include "framework/graphics/image/mip_level_sizes.h"

#include "framework/graphics/image/pixel_format.h"

namespace {

uint64_t BlockBytes(const PixelFormat& format) { return format.specialFormat == kDxt1Pixels ? 8 : 16; }

uint64_t LevelSide(int side, uint32_t level) {
    const uint64_t halved = level >= 31 ? 0 : static_cast<uint64_t>(side > 0 ? side : 0) >> level;
    return halved > 0 ? halved : 1;
}

}  // namespace

uint64_t MipLevelByteCount(const PixelFormat& format, int width, int height, int pitch, uint32_t level) {
    if (width <= 0 || height <= 0) return 0;
    if (format.specialFormat != kPlainPixels) {
        // Encoders store whole blocks: a partly used one counts in full.
        const uint64_t across = static_cast<uint64_t>(BlocksAlong(static_cast<int>(LevelSide(width, level))));
        const uint64_t down = static_cast<uint64_t>(BlocksAlong(static_cast<int>(LevelSide(height, level))));
        return across * down * BlockBytes(format);
    }
    if (level == 0) return (pitch > 0 ? static_cast<uint64_t>(pitch) : 0) * static_cast<uint64_t>(height);
    return LevelSide(width, level) * LevelSide(height, level) * format.bytesPerPixel;
}

uint64_t MipChainByteCount(const PixelFormat& format, int width, int height, int pitch, uint32_t levels) {
    uint64_t total = MipLevelByteCount(format, width, height, pitch, 0);
    for (uint32_t level = 1; level < levels; ++level) total += MipLevelByteCount(format, width, height, pitch, level);
    return total;
}

uint32_t FullMipChainLength(int width, int height) {
    uint32_t side = static_cast<uint32_t>(width > height ? width : height);
    uint32_t levels = 1;
    while (side > 1) {
        side >>= 1;
        ++levels;
    }
    return levels;
}
