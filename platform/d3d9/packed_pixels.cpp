// 16-bit pixels packed from 8-bit channels by table: one look-up per channel.
#include "platform/d3d9/packed_pixels.h"

#include <cstring>

namespace platform::d3d9 {
namespace {

struct FormatLayout {
    D3DFORMAT format;
    PackedLayout layout;
};

constexpr FormatLayout kLayouts[] = {
    {D3DFMT_R5G6B5, {{5, 6, 5, 0}, {11, 5, 0, 0}}},
    {D3DFMT_X1R5G5B5, {{5, 5, 5, 1}, {10, 5, 0, 15}}},
    {D3DFMT_A1R5G5B5, {{5, 5, 5, 1}, {10, 5, 0, 15}}},
    {D3DFMT_A4R4G4B4, {{4, 4, 4, 4}, {8, 4, 0, 12}}},
    {D3DFMT_X4R4G4B4, {{4, 4, 4, 4}, {8, 4, 0, 12}}},
};

}  // namespace

const PackedLayout* PackedLayoutOf(D3DFORMAT format) {
    for (const FormatLayout& entry : kLayouts)
        if (entry.format == format) return &entry.layout;
    return nullptr;
}

PixelPacker::PixelPacker(const PackedLayout& layout) {
    for (int channel = 0; channel < 4; ++channel)
        for (uint32_t value = 0; value < 256; ++value)
            tables_[channel][value] = layout.bits[channel] == 0
                                          ? 0
                                          : static_cast<uint16_t>(PackChannel(value, layout.bits[channel])
                                                                  << layout.shift[channel]);
}

void PixelPacker::Pack(const uint8_t* rgba, uint8_t* out, size_t count) const {
    for (size_t i = 0; i < count; ++i, rgba += 4, out += 2) {
        const uint16_t pixel = static_cast<uint16_t>(tables_[0][rgba[0]] | tables_[1][rgba[1]] |
                                                     tables_[2][rgba[2]] | tables_[3][rgba[3]]);
        std::memcpy(out, &pixel, sizeof(pixel));
    }
}

}  // namespace platform::d3d9
