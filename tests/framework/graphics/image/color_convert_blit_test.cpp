// The format-converting blit: loop choice, the specialised pairs held against
// the general loop, dithering and the options.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/color_convert_job.h"
#include "framework/graphics/image/pixel_format.h"

namespace {

PixelFormat Define(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) {
    PixelFormat format{};
    DefinePixelFormat(&format, bits, red, green, blue, alpha);
    return format;
}

const PixelFormat kRgb565 = Define(16, 0xF800, 0x07E0, 0x001F, 0);
const PixelFormat kRgb555 = Define(16, 0x7C00, 0x03E0, 0x001F, 0);
const PixelFormat kArgb1555 = Define(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
const PixelFormat kArgb4444 = Define(16, 0x0F00, 0x00F0, 0x000F, 0xF000);
const PixelFormat kRgb24 = Define(24, 0xFF0000, 0xFF00, 0xFF, 0);
const PixelFormat kXrgb32 = Define(32, 0xFF0000, 0xFF00, 0xFF, 0);
const PixelFormat kArgb32 = Define(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);

// A block of pixels in one format.
struct Block {
    PixelFormat format;
    int width;
    int height;
    int pitch;
    std::vector<uint8_t> bytes;

    Block(const PixelFormat& f, int w, int h, uint8_t fill = 0)
        : format(f), width(w), height(h), pitch(w * f.bytesPerPixel + 4),
          bytes(static_cast<size_t>(pitch) * h, fill) {}
    uint32_t Get(int x, int y) const {
        uint32_t value = 0;
        std::memcpy(&value, &bytes[static_cast<size_t>(y * pitch + x * format.bytesPerPixel)], format.bytesPerPixel);
        return value;
    }
    void Set(int x, int y, uint32_t value) {
        std::memcpy(&bytes[static_cast<size_t>(y * pitch + x * format.bytesPerPixel)], &value, format.bytesPerPixel);
    }
    // Fills the pixels in row order from a list.
    Block& With(const std::vector<uint32_t>& values) {
        for (size_t i = 0; i < values.size(); ++i) Set(static_cast<int>(i) % width, static_cast<int>(i) / width, values[i]);
        return *this;
    }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> all;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) all.push_back(Get(x, y));
        }
        return all;
    }
};

struct Options {
    int mirror = 0, keyToAlpha = 0;
    uint32_t key = 0;
    int dither = 0, colourZero = 0, alphaFromRed = 0, skipKey = 0, remapPalette = 0;
    const Block* alpha = nullptr;
};

int Convert(Block* dst, const Block& src, const Options& o = {}, int dstX = 0, int dstY = 0,
            const RECT* rect = nullptr) {
    const RECT whole = {0, 0, src.width, src.height};
    return ColorConvertBlit(dst->bytes.data(), dst->pitch, &dst->format, src.bytes.data(), src.pitch, &src.format,
                            o.alpha ? o.alpha->bytes.data() : nullptr, o.alpha ? o.alpha->pitch : 0,
                            o.alpha ? &o.alpha->format : nullptr, dstX, dstY, rect ? rect : &whole, o.mirror,
                            o.keyToAlpha, o.key, o.dither, o.colourZero, o.alphaFromRed, o.skipKey,
                            o.remapPalette);
}

ColorConvertJob JobFor(Block* dst, const Block& src, int keyToAlpha, uint32_t key) {
    ColorConvertJob job{};
    job.dst = dst->bytes.data();
    job.dstPitch = dst->pitch;
    job.src = src.bytes.data();
    job.srcPitch = src.pitch;
    job.dstFormat = dst->format;
    job.srcFormat = src.format;
    job.width = src.width;
    job.height = src.height;
    job.keyToAlpha = keyToAlpha;
    job.key = key;
    return job;
}

// A palette of deterministic colours that contains magenta at index 200.
PixelFormat TestPalette() {
    PixelFormat format{};
    UsePalette8Format(&format);
    uint32_t seed = 12345;
    for (auto& entry : format.palette) {
        seed = seed * 1103515245 + 12345;
        entry = PaletteColor{static_cast<uint8_t>(seed >> 8), static_cast<uint8_t>(seed >> 16),
                             static_cast<uint8_t>(seed >> 24), 0};
    }
    format.palette[200] = PaletteColor{0xFF, 0x00, 0xFF, 0};
    return format;
}

// Every value a source of this format can hold (16-bit: all 65536; larger:
// a deterministic spread), with magenta among them, on odd-width rows.
Block EverySourceValue(const PixelFormat& format) {
    if (format.bytesPerPixel == 1) {
        Block block(format, 15, 18);
        for (int i = 0; i < 15 * 18; ++i) block.Set(i % 15, i / 15, static_cast<uint32_t>(i % 256));
        return block;
    }
    if (format.bytesPerPixel == 2) {
        Block block(format, 255, 258);
        for (int i = 0; i < 255 * 258; ++i) block.Set(i % 255, i / 255, static_cast<uint32_t>(i & 0xFFFF));
        return block;
    }
    Block block(format, 63, 65);
    uint32_t seed = 99;
    for (int i = 0; i < 63 * 65; ++i) {
        seed = seed * 1664525 + 1013904223;
        block.Set(i % 63, i / 63, i % 7 == 0 ? 0x00FF00FF : seed);
    }
    return block;
}

TEST(ColorConvertBlitTest, WorkedCasesOfTheLoopChoice) {
    // 5-6-5 white to 32-bit without alpha: the specialised loop shifts up and
    // leaves the top byte 0; under mirror the general loop widens exactly.
    Block white = Block(kRgb565, 1, 1).With({0xFFFF});
    Block out(kXrgb32, 1, 1);
    EXPECT_EQ(Convert(&out, white), 0);
    EXPECT_EQ(out.Get(0, 0), 0x00F8FCF8u);
    Options mirrored;
    mirrored.mirror = 1;
    EXPECT_EQ(Convert(&out, white, mirrored), 0);
    EXPECT_EQ(out.Get(0, 0), 0xFFFFFFFFu);

    // 8-bit to 8-bit with equal palettes copies and returns the largest index.
    Block indices = Block(TestPalette(), 4, 2).With({3, 9, 200, 1, 0, 17, 5, 2});
    Block copied(TestPalette(), 4, 2);
    Options remap;
    remap.remapPalette = 1;
    EXPECT_EQ(Convert(&copied, indices, remap), 200);
    EXPECT_EQ(copied.Pixels(), indices.Pixels());

    // keyToAlpha from 24-bit into A8R8G8B8.
    Block rgb = Block(kRgb24, 3, 1).With({0xFF00FF, 0xFE00FF, 0x000000});
    Block argb(kArgb32, 3, 1);
    Options keyed;
    keyed.keyToAlpha = 1;
    keyed.key = 0xFF00FF;
    EXPECT_EQ(Convert(&argb, rgb, keyed), 0);
    EXPECT_EQ(argb.Pixels(), (std::vector<uint32_t>{0x00FF00FF, 0xFFFE00FF, 0xFF000000}));

    // An empty rectangle writes nothing.
    Block untouched(kXrgb32, 3, 1, 0x5A);
    const RECT empty = {1, 0, 1, 1};
    const RECT inverted = {0, 1, 3, 0};
    EXPECT_EQ(Convert(&untouched, rgb, {}, 0, 0, &empty), -1);
    EXPECT_EQ(Convert(&untouched, rgb, {}, 0, 0, &inverted), -1);
    EXPECT_EQ(untouched.Pixels(), Block(kXrgb32, 3, 1, 0x5A).Pixels());

    // mirror: source pixel 0 lands on column dstX + 2.
    Block row = Block(kXrgb32, 3, 1).With({1, 2, 3});
    Block wide(kXrgb32, 5, 1);
    EXPECT_EQ(Convert(&wide, row, mirrored, 1, 0), 0);
    EXPECT_EQ(wide.Pixels(), (std::vector<uint32_t>{0, 3, 2, 1, 0}));
}

struct PairCase {
    const char* name;
    PixelFormat src;
    PixelFormat dst;
    int keyToAlpha;
    // Bits on which the specialised rule agrees with the general loop: the
    // rule shifts narrow channels up (low bits 0) where the general loop
    // widens them exactly, and two rules leave the spare bits clear.
    uint32_t agreeing;
    uint32_t nearMiss;  // a 5-6-5 source whose 5-5-5 form only equals the key
};

TEST(ColorConvertBlitTest, SpecialisedPairsAgreeWithTheGeneralLoop) {
    const PixelFormat palette = TestPalette();
    const PixelFormat argb32Alpha = kArgb32;
    const PairCase cases[] = {
        {"palette to 565", palette, kRgb565, 0, 0xFFFF, 0},
        {"palette to 555", palette, kRgb555, 0, 0xFFFF, 0},
        {"palette to x888", palette, kXrgb32, 0, 0xFFFFFFFF, 0},
        {"24 to 565", kRgb24, kRgb565, 0, 0xFFFF, 0},
        {"24 to 555", kRgb24, kRgb555, 0, 0xFFFF, 0},
        {"24 to x888", kRgb24, kXrgb32, 0, 0xFFFFFFFF, 0},
        {"24 to a888", kRgb24, argb32Alpha, 0, 0xFFFFFFFF, 0},
        {"x888 to 565", kXrgb32, kRgb565, 0, 0xFFFF, 0},
        {"565 to 24", kRgb565, kRgb24, 0, 0xF8FCF8, 0},
        {"565 to x888", kRgb565, kXrgb32, 0, 0x00F8FCF8, 0},
        {"565 to 555", kRgb565, kRgb555, 0, 0x7FFF, 0},
        {"555 to 565", kRgb555, kRgb565, 0, 0xFFDF, 0},
        {"keyed palette to 1555", palette, kArgb1555, 1, 0xFFFF, 0},
        {"keyed palette to 8888", palette, kArgb32, 1, 0xFFFFFFFF, 0},
        {"keyed 24 to 1555", kRgb24, kArgb1555, 1, 0xFFFF, 0},
        {"keyed 24 to 8888", kRgb24, kArgb32, 1, 0xFFFFFFFF, 0},
        {"keyed 565 to 1555", kRgb565, kArgb1555, 1, 0xFFFF, 0xF83F},
        {"keyed 565 to 8888", kRgb565, kArgb32, 1, 0xFFF8FCF8, 0},
    };
    for (const PairCase& c : cases) {
        SCOPED_TRACE(c.name);
        Block source = EverySourceValue(c.src);
        if (c.nearMiss != 0) {
            for (int y = 0; y < source.height; ++y) {
                for (int x = 0; x < source.width; ++x) {
                    if (source.Get(x, y) == c.nearMiss) source.Set(x, y, 0xF81F);
                }
            }
        }
        Block special(c.dst, source.width, source.height, 0x77);
        Block general(c.dst, source.width, source.height, 0x77);
        Block dispatched(c.dst, source.width, source.height, 0x77);
        ASSERT_TRUE(ConvertWithSpecialisedLoop(JobFor(&special, source, c.keyToAlpha, 0xFF00FF)));
        ASSERT_EQ(ConvertWithGeneralLoop(JobFor(&general, source, c.keyToAlpha, 0xFF00FF)), 0);
        Options options;
        options.keyToAlpha = c.keyToAlpha;
        options.key = 0xFF00FF;
        ASSERT_EQ(Convert(&dispatched, source, options), 0);
        EXPECT_EQ(dispatched.Pixels(), special.Pixels()) << "the blit takes the specialised loop";
        const std::vector<uint32_t> a = special.Pixels();
        const std::vector<uint32_t> b = general.Pixels();
        int differing = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            if ((a[i] & c.agreeing) != (b[i] & c.agreeing) && ++differing <= 3) {
                ADD_FAILURE() << "pixel " << i << ": specialised " << std::hex << a[i] << " general " << b[i];
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST(ColorConvertBlitTest, SpecialisedRulesKeepTheirOwnLowBits) {
    struct Case {
        PixelFormat src, dst;
        uint32_t in, out;
    } const cases[] = {
        {kRgb565, kRgb555, 0xFFFF, 0x7FFF},   // top bit 0
        {kRgb565, kRgb555, 0x0020, 0x0000},   // green's lowest bit dropped
        {kRgb555, kRgb565, 0x0020, 0x0060},   // green's lowest bit repeated
        {kRgb555, kRgb565, 0xFC00, 0xF800},   // the source's top bit is not colour
        {kRgb565, kRgb24, 0xFFFF, 0xF8FCF8},
        {kRgb24, kRgb555, 0x000000, 0x8000},  // top bit set
        {kRgb24, kXrgb32, 0x123456, 0xFF123456},
    };
    for (const Case& c : cases) {
        Block in = Block(c.src, 1, 1).With({c.in});
        Block out(c.dst, 1, 1);
        EXPECT_EQ(Convert(&out, in), 0);
        EXPECT_EQ(out.Get(0, 0), c.out) << std::hex << c.in;
    }
}

TEST(ColorConvertBlitTest, SixteenBitPairsGiveTheSamePixelsFourOrTwoAWord) {
    const int savedMmx = CpuHasMmx;
    const struct {
        PixelFormat src, dst;
        int keyToAlpha;
    } pairs[] = {{kRgb565, kRgb555, 0}, {kRgb555, kRgb565, 0}, {kRgb565, kArgb1555, 1}};
    for (const auto& pair : pairs) {
        const Block source = EverySourceValue(pair.src);  // 255-pixel rows: words and an odd pixel
        Options options;
        options.keyToAlpha = pair.keyToAlpha;
        options.key = 0xFF00FF;
        CpuHasMmx = 1;
        ASSERT_TRUE(UsesFourPixelWords());
        Block four(pair.dst, source.width, source.height);
        Convert(&four, source, options);
        CpuHasMmx = 0;
        ASSERT_FALSE(UsesFourPixelWords());
        Block two(pair.dst, source.width, source.height);
        Convert(&two, source, options);
        EXPECT_EQ(four.Pixels(), two.Pixels());
        // And against the rule one pixel at a time.
        Block single(pair.dst, 1, 1);
        for (uint32_t value : {0x0000u, 0xF81Fu, 0x7C1Fu, 0xFFFFu, 0x1234u, 0x8421u}) {
            Convert(&single, Block(pair.src, 1, 1).With({value}), options);
            EXPECT_EQ(single.Get(0, 0), two.Get(static_cast<int>(value % 255), static_cast<int>(value / 255)))
                << std::hex << value;
        }
    }
    CpuHasMmx = savedMmx;
}

// Red 4 and blue 4 drop 3 bits worth 4 of 8; green 1 drops 2 bits worth 1 of 4.
constexpr uint32_t kDitherColour = 0x040104;

TEST(ColorConvertBlitTest, OrderedDitherFollowsTheMatrixFromTheRectanglesCorner) {
    Block source(kRgb24, 6, 6);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) source.Set(x, y, kDitherColour);
    }
    Block out(kRgb565, 5, 5, 0xEE);
    Options options;
    options.dither = kDitherOrdered;
    const RECT rect = {2, 1, 6, 5};
    EXPECT_EQ(Convert(&out, source, options, 1, 1, &rect), 0);
    // Red and blue rise where the threshold (entry x 8 / 16) is below 4,
    // green where its threshold (entry x 4 / 16) is below 1.
    const uint32_t expected[4][4] = {{0x0821, 0, 0x0821, 0},
                                     {0, 0x0801, 0, 0x0801},
                                     {0x0821, 0, 0x0821, 0},
                                     {0, 0x0801, 0, 0x0801}};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(out.Get(x + 1, y + 1), expected[y][x]) << x << "," << y;
    }
    EXPECT_EQ(out.Get(0, 0), 0xEEEEu);

    // A raised channel is clamped to its maximum.
    Block white = Block(kRgb24, 4, 1).With({0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF});
    Block clamped(kRgb565, 4, 1);
    EXPECT_EQ(Convert(&clamped, white, options), 0);
    EXPECT_EQ(clamped.Pixels(), (std::vector<uint32_t>(4, 0xFFFF)));
}

TEST(ColorConvertBlitTest, ErrorCarryDitherRunsOnAcrossRows) {
    Block source(kRgb24, 4, 2);
    for (int i = 0; i < 8; ++i) source.Set(i % 4, i / 4, kDitherColour);
    Block out(kRgb565, 4, 2);
    Options options;
    options.dither = kDitherErrorCarry;
    EXPECT_EQ(Convert(&out, source, options), 0);
    // Red and blue carry 4 a pixel and rise every second pixel; green carries
    // 1 and rises every fourth.
    EXPECT_EQ(out.Pixels(), (std::vector<uint32_t>{0, 0x0801, 0, 0x0821, 0, 0x0801, 0, 0x0821}));

    // Without dithering the same pixels truncate.
    Block plain(kRgb565, 4, 2);
    options.dither = kDitherNone;
    options.mirror = 1;  // keeps the general loop
    EXPECT_EQ(Convert(&plain, source, options), 0);
    EXPECT_EQ(plain.Pixels(), (std::vector<uint32_t>(8, 0)));
}

TEST(ColorConvertBlitTest, GeneralLoopOptions) {
    struct Case {
        const char* name;
        PixelFormat src, dst;
        std::vector<uint32_t> in;
        Options options;
        std::vector<uint32_t> out;
        const Block* alphaImage;
    };
    static const Block alphaImage = Block(kXrgb32, 2, 1).With({0x00800000, 0x00FF7777});
    Options zeroRed;
    zeroRed.colourZero = 1;
    zeroRed.alphaFromRed = 1;
    zeroRed.keyToAlpha = 1;  // cancelled by alphaFromRed
    Options keyed;
    keyed.keyToAlpha = 1;
    keyed.key = 0xFF00FF;
    Options skip;
    skip.skipKey = 1;
    skip.key = 0xABCD1234;
    Options skipMirrored = skip;
    skipMirrored.mirror = 1;
    Options keyedNoAlpha = keyed;
    Options fromImage;
    const Case cases[] = {
        {"alpha image narrowed to 4 bits", kXrgb32, kArgb4444, {0x00FFFFFF, 0x00102030}, fromImage,
         {0x8FFF, 0xF123}, &alphaImage},
        {"colour zero with alpha from red", kXrgb32, kArgb32, {0x00402010, 0xFFFF0000}, zeroRed,
         {0x40000000, 0xFF000000}, nullptr},
        {"key to alpha in the general loop", kXrgb32, kArgb4444, {0x00FF00FF, 0x00FF00FE}, keyed,
         {0x0F0F, 0xFF0F}, nullptr},
        {"key skipped as a raw 16-bit value", kRgb565, kXrgb32, {0x1234, 0x1235}, skip, {0x77777777, 0xFF1044AC},
         nullptr},
        {"mirror switches skipping off", kRgb565, kXrgb32, {0x1234, 0x1235}, skipMirrored,
         {0xFF1044AC, 0xFF1044A4}, nullptr},
        {"key to alpha off without destination alpha", kRgb24, kRgb565, {0xFF00FF, 0x000000}, keyedNoAlpha,
         {0xF81F, 0x0000}, nullptr},
        {"key to alpha off when the source has alpha", kArgb32, kArgb4444, {0x80FF00FF, 0x40000000}, keyed,
         {0x8F0F, 0x4000}, nullptr},
        {"same-format copy skips the key", kXrgb32, kXrgb32, {0xABCD1234, 0x12345678}, skip,
         {0x77777777, 0x12345678}, nullptr},
        {"key to alpha copy of 1-5-5-5", kRgb555, kArgb1555, {0x7C1F, 0x7C1E}, keyed, {0x7C1F, 0xFC1E}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Block in = Block(c.src, 2, 1).With(c.in);
        Block out(c.dst, 2, 1, 0x77);
        Options options = c.options;
        options.alpha = c.alphaImage;
        EXPECT_EQ(Convert(&out, in, options), 0);
        EXPECT_EQ(out.Pixels(), c.out);
    }
}

TEST(ColorConvertBlitTest, PaletteSourcesSkipByIndex) {
    Block in = Block(TestPalette(), 3, 1).With({200, 7, 200});
    Block out(kXrgb32, 3, 1, 0x77);
    Options skip;
    skip.skipKey = 1;
    skip.key = 0x1C8;  // index 200 once masked to 8 bits
    EXPECT_EQ(Convert(&out, in, skip), 0);
    const PaletteColor& seven = TestPalette().palette[7];
    EXPECT_EQ(out.Pixels(), (std::vector<uint32_t>{0x77777777,
                                                  0xFF000000u | seven.red << 16 | seven.green << 8 | seven.blue,
                                                  0x77777777}));
}

TEST(ColorConvertBlitTest, EightBitDestinationsTakeTheNearestPaletteEntry) {
    PixelFormat palette{};
    UsePalette8Format(&palette);
    palette.palette[4] = PaletteColor{0, 0, 250, 0};
    palette.palette[5] = PaletteColor{0, 250, 0, 0};
    Block in = Block(kXrgb32, 3, 1).With({0x00FF0000, 0x0000F000, 0x00000000});
    Block out(palette, 3, 1, 0x77);
    EXPECT_EQ(Convert(&out, in), 0);
    EXPECT_EQ(out.Pixels(), (std::vector<uint32_t>{4, 5, 0}));

    // Different palettes with remapping: each index goes to the nearest entry.
    Block source = Block(TestPalette(), 2, 1).With({200, 0});
    Options remap;
    remap.remapPalette = 1;
    palette.palette[9] = PaletteColor{0xF0, 0x00, 0xF0, 0};
    Block remapped(palette, 2, 1);
    EXPECT_EQ(Convert(&remapped, source, remap), 0);
    EXPECT_EQ(remapped.Get(0, 0), 9u);
}

TEST(ColorConvertBlitTest, RefusesFormatsThatCannotAddressAPixel) {
    Block in = Block(kXrgb32, 1, 1).With({1});
    Block out(kXrgb32, 1, 1, 0x77);
    PixelFormat blocks = kXrgb32;
    blocks.bitsPerPixel = 4;
    blocks.bytesPerPixel = 0;
    const RECT rect = {0, 0, 1, 1};
    EXPECT_EQ(ColorConvertBlit(out.bytes.data(), out.pitch, &out.format, in.bytes.data(), in.pitch, &blocks,
                               nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 0, 0, 0, 0, 0),
              -1);
    EXPECT_EQ(out.Get(0, 0), 0x77777777u);
}

}  // namespace
