// Strings on the software path with the fixed test glyph source: the pixels
// written straight into the screen and through the work image, vertical
// text, spacing, the splitting of the text into characters, long strings
// and more new characters than the cache has slots.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/string_drawing.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/softrender/memimg.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/graphics/graphics_test_support.h"

namespace {

constexpr uint32_t kBackground = 0x1234;

class SoftwareStringsTest : public graphicstest::GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
        SelectDrawTarget(-2);
        SetDrawAreaRect(0, 0, 640, 480);
        FillMemImgRect(&PrimaryScreenMemImg, nullptr, kBackground);
    }

    static uint32_t Pixel(const MEMIMG& image, int x, int y) {
        const MemImgBase& base = *image.base;
        const int bytes = base.alphaFlag || base.colorType == kMemImgColor32 ? 4 : 2;
        uint32_t value = 0;
        std::memcpy(&value, image.pixels + y * base.pitch + x * bytes, static_cast<size_t>(bytes));
        return value;
    }
    static uint32_t Screen(int x, int y) { return Pixel(PrimaryScreenMemImg, x, y); }

    // The test source's grey level of pixel (x, y) of a character.
    static int Level(int code, int x, int y) { return (x + 2 * y + code) % 17; }
};

// Size 8: ascent 6; a one-byte character advances 4 with a 3 by 5 box at x 1,
// one row below the line top.
TEST_F(SoftwareStringsTest, PlainGlyphsGoStraightIntoTheScreenAtTheirAdvancePlusSpacing) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 0, -1, -1, 0);
    const uint32_t colour = MakeScreenColorCode(255, 0, 0);
    for (int spacing : {0, 2}) {
        SCOPED_TRACE(spacing);
        FillMemImgRect(&PrimaryScreenMemImg, nullptr, kBackground);
        SetFontSpacing(spacing, font);
        int extent[2] = {};
        EXPECT_EQ(DrawFontString(0, 0, 0, "ABC", 0, nullptr, nullptr, font, 0, 0, extent), 3 * (4 + spacing));
        EXPECT_EQ(extent[0], 3 * (4 + spacing));
        EXPECT_EQ(extent[1], 8);
        ASSERT_EQ(DrawStringWithFont(10, 20, "ABC", static_cast<int>(colour), font, 0, 0), 0);
        for (int n = 0; n < 3; ++n) {
            const int code = 'A' + n, left = 10 + n * (4 + spacing) + 1;
            for (int y = -1; y < 7; ++y)
                for (int x = -1; x < 4; ++x) {
                    const bool set = x >= 0 && x < 3 && y >= 0 && y < 5 && Level(code, x, y) >= 8;
                    // The pixel left of a glyph may hold the previous one.
                    if (x == -1 && n > 0 && spacing == 0) continue;
                    ASSERT_EQ(Screen(left + x, 21 + y), set ? colour : kBackground) << n << ": " << x << "," << y;
                }
        }
    }
}

TEST_F(SoftwareStringsTest, VerticalGlyphsTurnAQuarterClockwiseAndTheExtentTurnsToo) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 1, -1, 1, 0);  // edged: line height 10
    const FontRecord* record = GetFontRecord(font);
    ASSERT_EQ(record->lineHeight, 10);
    int extent[2] = {};
    EXPECT_EQ(DrawFontString(0, 0, 0, "AB", 0, nullptr, nullptr, font, 0, 1, extent), 12);
    EXPECT_EQ(extent[0], 10);
    EXPECT_EQ(extent[1], 12);
    const uint32_t text = MakeScreenColorCode(255, 255, 255), edge = MakeScreenColorCode(0, 0, 255);
    ASSERT_EQ(DrawStringWithFont(100, 50, "AB", static_cast<int>(text), font, static_cast<int>(edge), 1), 0);
    // Glyph 'B' (pen 6) with its 1-pixel edge: a 5 by 7 box from the cell
    // origin; its source row r lands in column right - 1 - r, its source
    // column c in row top + c. right = 100 + 10 - 1, top = 50 + 1 + 6.
    const int right = 109, top = 57;
    auto glyph = [](int x, int y) { return x >= 0 && x < 3 && y >= 0 && y < 5 && Level('B', x, y) >= 8; };
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c) {
            const int gx = c - 1, gy = r - 1;
            const bool edgePixel = !glyph(gx, gy) && (glyph(gx - 1, gy) || glyph(gx + 1, gy) ||
                                                      glyph(gx, gy - 1) || glyph(gx, gy + 1));
            const uint32_t want = glyph(gx, gy) ? text : edgePixel ? edge : kBackground;
            ASSERT_EQ(Screen(right - 1 - r, top + c), want) << r << "," << c;
        }
}

TEST_F(SoftwareStringsTest, BlendedAndAntialiasedTextGoesThroughTheWorkImage) {
    const uint32_t white = MakeScreenColorCode(255, 255, 255);
    // Alpha blend at half: glyph pixels between the two, the rest untouched.
    const int plain = CreateFontToHandle(nullptr, 8, -1, 0, -1, -1, 0);
    SetBlendModeAndParam(1, 128);
    ASSERT_EQ(DrawStringWithFont(10, 20, "A", static_cast<int>(white), plain, 0, 0), 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) {
            const uint32_t pixel = Screen(11 + x, 21 + y);
            if (Level('A', x, y) >= 8) {
                EXPECT_NE(pixel, white);
                EXPECT_NE(pixel, kBackground);
            } else {
                EXPECT_EQ(pixel, kBackground) << x << "," << y;
            }
        }
    SetBlendModeAndParam(0, 0);

    // An anti-aliased font: the work image with alpha holds each level as
    // alpha (code c shifted by 20 on a 16-bit screen) over the text colour;
    // level 0 and 1 stay clear.
    const int grey = CreateFontToHandle(nullptr, 8, -1, 2, -1, -1, 0);
    ASSERT_EQ(DrawStringWithFont(30, 20, "A", static_cast<int>(white), grey, 0, 0), 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) {
            const int level = Level('A', x, y);
            const uint32_t work = Pixel(ScreenWorkAlphaMemImg, 1 + x, 1 + y);
            if (level <= 1) {
                EXPECT_EQ(work >> 16, 0u) << x << "," << y;
                EXPECT_EQ(Screen(31 + x, 21 + y), kBackground);
            } else {
                EXPECT_EQ(work, static_cast<uint32_t>(level - 1) << 20 | white) << x << "," << y;
            }
        }
    // Full coverage shows the text colour, and nothing outside the box moved.
    EXPECT_EQ(Screen(30, 20), kBackground);
}

// The partial pixels of an anti-aliased edged font: a glyph code g over edge
// code e mixes the colours by g's share of the coverage.
TEST_F(SoftwareStringsTest, AntialiasedEdgedCodesBecomePixelsByTheTable) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 3, -1, 1, 0);
    const FontRecord* record = GetFontRecord(font);
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        MEMIMG image{};
        ASSERT_EQ(SetUpMemImg(&image, 32, 16, -1, 0, depth == 16 ? kMemImgColor565 : kMemImgColor32, 0, 1, 0,
                              nullptr),
                  0);
        FillMemImgRect(&image, nullptr, 0);
        // The 16-bit screen's red and blue, read as 8-bit channels for the
        // 32-bit image.
        const uint32_t text = MakeScreenColorCode(255, 0, 0), edge = MakeScreenColorCode(0, 0, 255);
        ASSERT_EQ(DrawFontString(1, 3, 1, "A", static_cast<int>(text), &image, nullptr, font, static_cast<int>(edge), 0,
                                 nullptr),
                  6);
        const uint8_t* cell = record->cacheMemory + static_cast<size_t>(record->index['A'].slot->cellNumber *
                                                                            record->cellSize + 1) *
                                                        record->cachePitch;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 5; ++x) {
                const int code = cell[y * record->cachePitch + 1 + x];
                const int g = code & 15, e = code >> 4;
                uint32_t want = 0;
                auto channel = [&](int shift, int width) {
                    const int mask = (1 << width) - 1;
                    const int t = static_cast<int>(text >> shift) & mask, d = static_cast<int>(edge >> shift) & mask;
                    const int a = (15 - g) * e + 16 * g;
                    return static_cast<uint32_t>(d + (t - d) * (g * 4096 / a) / 256) << shift;
                };
                const int alphaShift = depth == 16 ? 16 : 24;
                if (g == 15) {
                    want = 0xFFu << alphaShift | text;
                } else if (g == 0 && e > 0) {
                    want = static_cast<uint32_t>(e * 16) << alphaShift | edge;
                } else if (g > 0) {
                    const uint32_t a = static_cast<uint32_t>((15 - g) * e + 16 * g);
                    want = a << alphaShift |
                           (depth == 16 ? channel(11, 5) | channel(5, 6) | channel(0, 5)
                                        : channel(16, 8) | channel(8, 8) | channel(0, 8));
                }
                ASSERT_EQ(Pixel(image, 4 + x, 2 + y), want) << x << "," << y << " code " << code;
            }
        FreeMemImg(&image);
    }
}

TEST_F(SoftwareStringsTest, CharactersSplitByTheLeadByteRuleOfTheCharacterSet) {
    const int shiftJis = CreateFontToHandle(nullptr, 8, -1, 0, 1, -1, 0);
    const int hangeul = CreateFontToHandle(nullptr, 8, -1, 0, 2, -1, 0);
    struct Case {
        int font;
        const char* text;
        int length;  // one-byte characters advance 4, two-byte ones 8
    } cases[] = {
        {shiftJis, "\x82\xA0" "A", 12},
        {shiftJis, "\x80" "A", 8},     // 0x80 leads nothing in Shift-JIS
        {hangeul, "\x80" "A", 8},      // every byte from 0x80 leads
        {shiftJis, "A\x82", 8},        // a lead byte at the end stands alone
        {shiftJis, "\x81\x40" " ", 12}, // the spaces
        {shiftJis, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DrawFontString(0, 0, 0, c.text, 0, nullptr, nullptr, c.font, 0, 0, nullptr), c.length);
        EXPECT_EQ(DrawStringWithFont(0, 0, c.text, 0xFFFF, c.font, 0, 0), 0);
    }
    EXPECT_EQ(GetFontRecord(shiftJis)->index[0x82].cached, 1u);
    EXPECT_EQ(DrawStringWithFont(0, 0, nullptr, 0xFFFF, shiftJis, 0, 0), 0);

    // A bad handle is logged; nothing is drawn for a null or empty text first.
    const size_t mark = LogText().size();
    EXPECT_EQ(DrawStringWithFont(0, 0, "A", 0xFFFF, shiftJis + 1, 0, 0), -1);
    EXPECT_EQ(DrawStringWithFont(0, 0, "", 0xFFFF, shiftJis + 1, 0, 0), 0);
    EXPECT_EQ(LinesSince(mark), "フォントハンドル値が異常です\r\n");
    EXPECT_EQ(DrawFontString(0, 0, 0, "A", 0, nullptr, nullptr, shiftJis + 1, 0, 0, nullptr), -1);
}

TEST_F(SoftwareStringsTest, LongStringsAndMoreNewCharactersThanSlots) {
    const int small = CreateFontToHandle(nullptr, 8, -1, 0, -1, -1, 0);
    for (int bytes : {256, 257, 1000}) {
        const std::string text(static_cast<size_t>(bytes), 'A');
        EXPECT_EQ(DrawFontString(0, 0, 0, text.c_str(), 0, nullptr, nullptr, small, 0, 0, nullptr), 4 * bytes);
        EXPECT_EQ(DrawStringWithFont(0, 100, text.c_str(), 0xFFFF, small, 0, 0), 0);
    }

    // Size 100: a cell of 104, so 30 slots in the memory cache.
    const int large = CreateFontToHandle(nullptr, 100, -1, 0, -1, -1, 0);
    const FontRecord* record = GetFontRecord(large);
    ASSERT_EQ(record->slotCount, 30);
    std::string text;
    for (int n = 0; n < 40; ++n) text += std::string{'\x88', static_cast<char>(0x9F + n)};
    EXPECT_EQ(DrawStringWithFont(0, 0, text.c_str(), 0xFFFF, large, 0, 0), 0);
    EXPECT_EQ(DrawFontString(0, 0, 0, text.c_str(), 0, nullptr, nullptr, large, 0, 0, nullptr), 40 * 100);
    // The last characters are cached; the first ones went to make room.
    EXPECT_EQ(record->index[0x88 | (0x9F + 39) << 8].cached, 1u);
    EXPECT_EQ(record->index[0x88 | 0x9F << 8].cached, 0u);
}

// A string placed at the ends of the int range, with a spacing at either
// end too, or behind the mask (which takes the rectangle of the line): the
// pen and the glyph places are sums that left the range. What lies off the
// screen is not drawn; what lies on it is.
TEST_F(SoftwareStringsTest, PlacesAndSpacingsAtTheEndsOfTheRangeDrawOnlyWhatIsOnTheScreen) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 0, -1, -1, 0);
    const int edged = CreateFontToHandle(nullptr, 8, -1, 1, -1, 1, 0);
    const auto untouched = [] {
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (Screen(x, y) != kBackground) return false;
        return true;
    };
    ASSERT_EQ(CreateMaskScreenBuffers(1), 0);
    for (int masked = 0; masked <= 1; ++masked) {
        SCOPED_TRACE(masked);
        ASSERT_EQ(SetMaskScreenUse(masked), 0);
        for (int handle : {font, edged})
            for (int vertical = 0; vertical <= 1; ++vertical)
                for (int blend : {0, 1}) {
                    SetBlendModeAndParam(blend, 128);
                    for (const auto& [x, y] : {std::pair{INT_MAX - 2, INT_MAX - 2}, std::pair{INT_MAX - 2, 10},
                                               std::pair{INT_MIN, INT_MIN}, std::pair{10, INT_MIN + 1}}) {
                        FillMemImgRect(&PrimaryScreenMemImg, nullptr, kBackground);
                        EXPECT_EQ(DrawStringWithFont(x, y, "ABC", 0xFFFF, handle, 0x07E0, vertical), 0);
                        EXPECT_TRUE(untouched()) << x << "," << y << " vertical " << vertical;
                    }
                }
        SetBlendModeAndParam(0, 255);
        // Nothing but the first character is on the screen; with the far
        // positive spacing it is drawn.
        for (int spacing : {INT_MAX, INT_MIN}) {
            SetFontSpacing(spacing, font);
            FillMemImgRect(&PrimaryScreenMemImg, nullptr, kBackground);
            const int result = DrawStringWithFont(10, 20, "ABCD", 0xFFFF, font, 0, 0);
            if (spacing == INT_MAX) {
                EXPECT_EQ(result, 0);
            }
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < 640; ++x) {
                    const int gx = x - 11, gy = y - 21;
                    const bool set = gx >= 0 && gx < 3 && gy >= 0 && gy < 5 && Level('A', gx, gy) >= 8;
                    if (set && spacing == INT_MIN) continue;
                    ASSERT_EQ(Screen(x, y), set ? 0xFFFFu : kBackground) << spacing << ": " << x << "," << y;
                }
        }
        SetFontSpacing(0, font);
    }
    SetMaskScreenUse(0);
    TerminateMaskScreen();
}

TEST_F(SoftwareStringsTest, TheDefaultFontDrawIsTheDrawWithTheDefaultHandle) {
    SetDefaultFontSize(nullptr, 8, -1);
    ASSERT_EQ(DrawStringDefaultFont(5, 5, "AB", 0xFFFF, 0), 0);
    std::string first(reinterpret_cast<const char*>(PrimaryScreenMemImg.pixels), 20 * PrimaryScreenMemImg.base->pitch);
    FillMemImgRect(&PrimaryScreenMemImg, nullptr, kBackground);
    ASSERT_EQ(DrawStringWithFont(5, 5, "AB", 0xFFFF, GetDefaultFontHandle(), 0, 0), 0);
    std::string second(reinterpret_cast<const char*>(PrimaryScreenMemImg.pixels), 20 * PrimaryScreenMemImg.base->pitch);
    EXPECT_EQ(first, second);
    EXPECT_EQ(Screen(6, 6), 0xFFFFu);  // the first pixel of 'A', level 14
}

}  // namespace
