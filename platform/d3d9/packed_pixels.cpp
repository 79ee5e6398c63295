// 16-bit pixels packed from 8-bit channels: eight at a time in 16-bit lanes,
// and by table (one look-up per channel) for the rest.
#include "platform/d3d9/packed_pixels.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

PixelPacker::PixelPacker(const PackedLayout& layout) : layout_(layout) {
    for (int channel = 0; channel < 4; ++channel)
        for (uint32_t value = 0; value < 256; ++value)
            tables_[channel][value] = layout.bits[channel] == 0
                                          ? 0
                                          : static_cast<uint16_t>(PackChannel(value, layout.bits[channel])
                                                                  << layout.shift[channel]);
}

void PixelPacker::Pack(const uint8_t* rgba, uint8_t* out, size_t count) const {
    size_t i = 0;
#if defined(__SSE2__)
    // Red and blue in the even and odd 16-bit lanes of one register, green
    // and alpha in another. A channel c of `bits` bits is (c * top + 127) /
    // 255, and t / 255 for t below 65535 is ((t + 1) * 257) >> 16, a high
    // multiply; it is then moved into place by a multiply by 2^shift.
    const auto lanes = [](int16_t even, int16_t odd) {
        return _mm_setr_epi16(even, odd, even, odd, even, odd, even, odd);
    };
    const auto top = [this](int c) { return static_cast<int16_t>((1 << layout_.bits[c]) - 1); };
    const auto place = [this](int c) { return static_cast<int16_t>(1u << layout_.shift[c]); };
    const __m128i topRedBlue = lanes(top(0), top(2)), topGreenAlpha = lanes(top(1), top(3));
    const __m128i placeRedBlue = lanes(place(0), place(2)), placeGreenAlpha = lanes(place(1), place(3));
    const __m128i lowBytes = _mm_set1_epi16(0xFF), half = _mm_set1_epi16(128), by257 = _mm_set1_epi16(257);
    const auto pack4 = [&](__m128i pixels) {
        __m128i redBlue = _mm_and_si128(pixels, lowBytes);
        __m128i greenAlpha = _mm_srli_epi16(pixels, 8);
        redBlue = _mm_mullo_epi16(
            _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(redBlue, topRedBlue), half), by257), placeRedBlue);
        greenAlpha = _mm_mullo_epi16(
            _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(greenAlpha, topGreenAlpha), half), by257),
            placeGreenAlpha);
        __m128i packed = _mm_or_si128(redBlue, greenAlpha);
        packed = _mm_or_si128(packed, _mm_srli_epi32(packed, 16));
        // Sign-extended, so that the saturating pack below keeps the bits.
        return _mm_srai_epi32(_mm_slli_epi32(packed, 16), 16);
    };
    for (; i + 8 <= count; i += 8, rgba += 32, out += 16) {
        const __m128i first = pack4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rgba)));
        const __m128i second = pack4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rgba + 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(first, second));
    }
#endif
    for (; i < count; ++i, rgba += 4, out += 2) {
        const uint16_t pixel = static_cast<uint16_t>(tables_[0][rgba[0]] | tables_[1][rgba[1]] |
                                                     tables_[2][rgba[2]] | tables_[3][rgba[3]]);
        std::memcpy(out, &pixel, sizeof(pixel));
    }
}

}  // namespace platform::d3d9
