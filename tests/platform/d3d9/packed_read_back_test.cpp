// Read-backs of 16-bit surfaces under the OpenGL renderer, which reads the
// channels as bytes and packs them itself: the packing against the plain
// rounding formula for every value of every channel, and every 16-bit value
// through a render target and back, across an odd width whose rows end in
// padding.
#include <algorithm>
#include <cmath>

#include "platform/d3d9/packed_pixels.h"
#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Held;
using platform::d3d9::PackedLayout;
using platform::d3d9::PackedLayoutOf;
using platform::d3d9::PixelPacker;

constexpr D3DFORMAT kPackedFormats[] = {D3DFMT_R5G6B5, D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4,
                                        D3DFMT_X4R4G4B4};

// Each channel scaled to its bits and rounded to nearest, in floating point.
uint16_t PackedByFormula(const PackedLayout& layout, const uint8_t rgba[4]) {
    uint32_t pixel = 0;
    for (int channel = 0; channel < 4; ++channel) {
        const int bits = layout.bits[channel];
        if (bits == 0) continue;
        const double top = (1 << bits) - 1;
        pixel |= static_cast<uint32_t>(std::lround(rgba[channel] * top / 255.0)) << layout.shift[channel];
    }
    return static_cast<uint16_t>(pixel);
}

TEST(PixelPackerTest, PacksEveryChannelValueAsTheRoundingFormula) {
    for (D3DFORMAT format : kPackedFormats) {
        SCOPED_TRACE(format);
        const PackedLayout* layout = PackedLayoutOf(format);
        ASSERT_NE(layout, nullptr);
        const PixelPacker packer(*layout);
        // All 65536 pairs of two bytes, spread over the four channels so
        // that each channel takes every value next to many others.
        std::vector<uint8_t> rgba(65536 * 4);
        for (uint32_t i = 0; i < 65536; ++i) {
            const uint8_t low = static_cast<uint8_t>(i), high = static_cast<uint8_t>(i >> 8);
            const uint8_t pixel[4] = {low, high, static_cast<uint8_t>(low ^ high), static_cast<uint8_t>(255 - low)};
            std::memcpy(&rgba[i * 4], pixel, 4);
        }
        // In runs of 13: eight at a time, then one by one.
        std::vector<uint16_t> packed(65536);
        for (size_t at = 0; at < packed.size(); at += 13)
            packer.Pack(&rgba[at * 4], reinterpret_cast<uint8_t*>(&packed[at]), std::min<size_t>(13, packed.size() - at));
        int wrong = 0;
        for (uint32_t i = 0; i < 65536; ++i) {
            const uint16_t expected = PackedByFormula(*layout, &rgba[i * 4]);
            if (packed[i] != expected && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << i << ": 0x" << std::hex << packed[i] << ", expected 0x" << expected;
        }
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_EQ(PackedLayoutOf(D3DFMT_X8R8G8B8), nullptr);
    EXPECT_EQ(PackedLayoutOf(D3DFMT_R3G3B2), nullptr);
}

class PackedReadBackTest : public d3d9test::OpenGlTest {};

// Every 16-bit value written into a render target, copied in OpenGL into a
// second one, and read back by locking it: each value comes back, save the
// unused bit of X1R5G5B5, which reads as set.
TEST_F(PackedReadBackTest, EveryValueComesBackThroughOpenGl) {
    if (device == nullptr) return;
    constexpr UINT kWidth = 255, kHeight = 258;  // rows of 510 bytes padded to 512; more pixels than values
    struct Case {
        D3DFORMAT format;
        uint16_t setBits;
    };
    for (const Case& c : {Case{D3DFMT_R5G6B5, 0}, Case{D3DFMT_X1R5G5B5, 0x8000}, Case{D3DFMT_A1R5G5B5, 0},
                          Case{D3DFMT_A4R4G4B4, 0}}) {
        SCOPED_TRACE(c.format);
        Held<IDirect3DSurface9> source, copy;
        ASSERT_EQ(device->CreateRenderTarget(kWidth, kHeight, c.format, D3DMULTISAMPLE_NONE, 0, TRUE, &source, nullptr),
                  D3D_OK);
        ASSERT_EQ(device->CreateRenderTarget(kWidth, kHeight, c.format, D3DMULTISAMPLE_NONE, 0, TRUE, &copy, nullptr),
                  D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(source->LockRect(&locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < kHeight; ++y)
            for (UINT x = 0; x < kWidth; ++x) {
                const uint16_t value = static_cast<uint16_t>(y * kWidth + x);
                std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch + x * 2, &value, 2);
            }
        source->UnlockRect();
        ASSERT_EQ(device->StretchRect(source, nullptr, copy, nullptr, D3DTEXF_NONE), D3D_OK);

        ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        int wrong = 0;
        for (UINT y = 0; y < kHeight; ++y)
            for (UINT x = 0; x < kWidth; ++x) {
                uint16_t value = 0;
                std::memcpy(&value, static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 2, 2);
                const uint16_t expected = static_cast<uint16_t>((y * kWidth + x) | c.setBits);
                if (value != expected && ++wrong <= 3)
                    ADD_FAILURE() << "(" << x << ", " << y << "): 0x" << std::hex << value << ", expected 0x"
                                  << expected;
            }
        EXPECT_EQ(wrong, 0);
        copy->UnlockRect();
    }
}

}  // namespace
