// The default textures' TGA files, written once: image type 10 (run-length
// true colour), one run packet per run of equal pixels inside a row, and the
// version 2 footer.
#include "framework/graphics/models/model_default_textures.h"

#include <array>
#include <cstring>

int ModelDefaultTextureHandles[kModelDefaultTextureCount] = {-1, -1, -1};

namespace {

constexpr size_t kWhiteSize = 84;
constexpr size_t kRampSize = 172;

template <size_t Size>
struct TgaWriter {
    std::array<uint8_t, Size> bytes{};
    size_t at = 0;
    constexpr void Put(uint8_t value) { bytes[at++] = value; }
    constexpr void Put16(int value) {
        Put(static_cast<uint8_t>(value & 0xFF));
        Put(static_cast<uint8_t>(value >> 8));
    }
    constexpr void Header(int width, int height, int bits, int alphaBits) {
        Put(0);   // no image id
        Put(0);   // no colour map
        Put(10);  // run-length true colour
        for (int i = 0; i < 5; ++i) Put(0);
        Put16(0);
        Put16(0);
        Put16(width);
        Put16(height);
        Put(static_cast<uint8_t>(bits));
        Put(static_cast<uint8_t>(0x20 | alphaBits));  // top row first
    }
    // One run packet of `count` (1 to 128) pixels of B, G, R (and A).
    constexpr void Run(int count, uint8_t grey, int alphaBytes) {
        Put(static_cast<uint8_t>(0x80 | (count - 1)));
        Put(grey);
        Put(grey);
        Put(grey);
        if (alphaBytes) Put(0xFF);
    }
    constexpr void Footer() {
        for (int i = 0; i < 8; ++i) Put(0);  // no extension or developer area
        const char signature[] = "TRUEVISION-XFILE.";
        for (char c : signature) Put(static_cast<uint8_t>(c));  // its terminating 0 included
    }
};

constexpr std::array<uint8_t, kWhiteSize> MakeWhite() {
    TgaWriter<kWhiteSize> tga;
    tga.Header(8, 8, 32, 8);
    for (int row = 0; row < 8; ++row) tga.Run(8, 0xFF, 1);
    tga.Footer();
    return tga.bytes;
}

constexpr std::array<uint8_t, kRampSize> MakeRamp() {
    TgaWriter<kRampSize> tga;
    tga.Header(256, 8, 24, 0);
    for (int row = 0; row < 8; ++row)
        for (uint8_t grey : {0, 85, 170, 255}) tga.Run(64, grey, 0);
    tga.Footer();
    return tga.bytes;
}

constexpr std::array<uint8_t, kWhiteSize> WhiteFile = MakeWhite();
constexpr std::array<uint8_t, kRampSize> RampFile = MakeRamp();

}  // namespace

const uint8_t* ModelDefaultTextureFile(int index, size_t* size) {
    if (index == 0) {
        *size = WhiteFile.size();
        return WhiteFile.data();
    }
    *size = RampFile.size();
    return RampFile.data();
}
