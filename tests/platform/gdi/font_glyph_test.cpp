// Fonts and glyph outlines: the fixed test glyph source to the byte, and the
// installed Japanese faces through FreeType within what a rasteriser may vary.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

class FontGlyphTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        if (memory_ != nullptr) {
            SelectObject(memory_, stock_);
            DeleteDC(memory_);
        }
        for (HFONT font : fonts_) DeleteObject(font);
        testsupport::PlatformTest::TearDown();
    }

    // Test literals are Shift-JIS, as the framework's are.
    HFONT Make(const char* face, int height, int weight = 400, DWORD charset = SHIFTJIS_CHARSET) {
        HFONT font = CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, charset, 0, 0, NONANTIALIASED_QUALITY, 1, face);
        if (font != nullptr) fonts_.push_back(font);
        return font;
    }

    // Selects the font into the test's memory device context.
    HDC Select(HFONT font) {
        if (memory_ == nullptr) {
            memory_ = CreateCompatibleDC(nullptr);
            stock_ = SelectObject(memory_, font);
        } else {
            SelectObject(memory_, font);
        }
        return memory_;
    }

    std::vector<uint8_t> Bitmap(HDC dc, UINT code, UINT format, GLYPHMETRICS& metrics) {
        const DWORD size = GetGlyphOutlineA(dc, code, format, &metrics, 0, nullptr, &kIdentity);
        EXPECT_NE(size, GDI_ERROR);
        if (size == GDI_ERROR) return {};
        std::vector<uint8_t> bits(size);
        if (size != 0) {
            EXPECT_EQ(GetGlyphOutlineA(dc, code, format, &metrics, size, bits.data(), &kIdentity), size);
        }
        return bits;
    }

    HDC memory_ = nullptr;
    HGDIOBJ stock_ = nullptr;
    std::vector<HFONT> fonts_;
};

class TestSourceFontTest : public FontGlyphTest {
protected:
    void SetUp() override {
        FontGlyphTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
    }
};

TEST_F(TestSourceFontTest, MetricsFollowTheCellHeight) {
    HDC dc = Select(Make("ＭＳ ゴシック", 16));
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 16);
    EXPECT_EQ(metrics.tmAscent, 12);
    EXPECT_EQ(metrics.tmDescent, 4);
    EXPECT_EQ(metrics.tmCharSet, SHIFTJIS_CHARSET);
}

TEST_F(TestSourceFontTest, GlyphsComePackedAsGdiPacksThem) {
    HDC dc = Select(Make("ＭＳ ゴシック", 16));
    struct Case {
        UINT code;
        UINT format;
        UINT boxX, boxY;
        short advance;
        DWORD pitch;
    } cases[] = {
        {0x41, GGO_GRAY4_BITMAP, 7, 11, 8, 8},
        {0x41, GGO_BITMAP, 7, 11, 8, 4},
        {0x82A0, GGO_GRAY4_BITMAP, 14, 14, 16, 16},
        {0x82A0, GGO_BITMAP, 14, 14, 16, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code * 10 + c.format);
        GLYPHMETRICS metrics{};
        const std::vector<uint8_t> bits = Bitmap(dc, c.code, c.format, metrics);
        EXPECT_EQ(metrics.gmBlackBoxX, c.boxX);
        EXPECT_EQ(metrics.gmBlackBoxY, c.boxY);
        EXPECT_EQ(metrics.gmptGlyphOrigin.x, 1);
        EXPECT_EQ(metrics.gmptGlyphOrigin.y, 11);
        EXPECT_EQ(metrics.gmCellIncX, c.advance);
        ASSERT_EQ(bits.size(), c.pitch * c.boxY);
        for (UINT y = 0; y < c.boxY; ++y) {
            for (UINT x = 0; x < c.pitch * (c.format == GGO_BITMAP ? 8 : 1); ++x) {
                const UINT level = x < c.boxX ? (x + 2 * y + c.code) % 17 : 0;
                const uint8_t* row = bits.data() + y * c.pitch;
                if (c.format == GGO_GRAY4_BITMAP)
                    ASSERT_EQ(row[x], level) << x << "," << y;
                else
                    ASSERT_EQ((row[x / 8] >> (7 - x % 8)) & 1, level >= 8 ? 1 : 0) << x << "," << y;
            }
        }
    }
}

TEST_F(TestSourceFontTest, SpacesHaveAnAdvanceAndNoBitmap) {
    HDC dc = Select(Make("ＭＳ ゴシック", 16));
    for (const auto& [code, advance] : {std::pair<UINT, short>{0x20, 8}, {0x8140, 16}}) {
        GLYPHMETRICS metrics{};
        EXPECT_EQ(GetGlyphOutlineA(dc, code, GGO_GRAY4_BITMAP, &metrics, 0, nullptr, &kIdentity), 0u);
        EXPECT_EQ(metrics.gmBlackBoxX, 0u);
        EXPECT_EQ(metrics.gmBlackBoxY, 0u);
        EXPECT_EQ(metrics.gmCellIncX, advance);
    }
}

TEST_F(TestSourceFontTest, RefusalsGiveGdiError) {
    HFONT font = Make(nullptr, 16);
    GLYPHMETRICS metrics{};
    HDC dc = CreateCompatibleDC(nullptr);
    // A new context holds only the stock font, which has no glyphs here.
    EXPECT_EQ(GetGlyphOutlineA(dc, 0x41, GGO_BITMAP, &metrics, 0, nullptr, &kIdentity), GDI_ERROR);
    HGDIOBJ stock = SelectObject(dc, font);
    EXPECT_NE(stock, nullptr);
    const MAT2 scaled = {{0, 2}, {0, 0}, {0, 0}, {0, 1}};
    EXPECT_EQ(GetGlyphOutlineA(dc, 0x41, GGO_BITMAP, &metrics, 0, nullptr, &scaled), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(dc, 0x41, 2, &metrics, 0, nullptr, &kIdentity), GDI_ERROR);
    uint8_t small[4];
    EXPECT_EQ(GetGlyphOutlineA(dc, 0x41, GGO_BITMAP, &metrics, sizeof small, small, &kIdentity), GDI_ERROR);
    EXPECT_EQ(SelectObject(dc, stock), font);
    DeleteDC(dc);

    platform::Profile().fonts.createFontFailures = 2;
    EXPECT_EQ(Make(nullptr, 16), nullptr);
    EXPECT_EQ(Make(nullptr, 16), nullptr);
    EXPECT_NE(Make(nullptr, 16), nullptr);
}

TEST_F(TestSourceFontTest, ADeletedFontHasNoGlyphs) {
    HFONT font = CreateFontA(16, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 3, 1, nullptr);
    HDC dc = Select(font);
    EXPECT_TRUE(DeleteObject(font));
    GLYPHMETRICS metrics{};
    EXPECT_EQ(GetGlyphOutlineA(dc, 0x41, GGO_BITMAP, &metrics, 0, nullptr, &kIdentity), GDI_ERROR);
    TEXTMETRICA text{};
    EXPECT_FALSE(GetTextMetricsA(dc, &text));
}

// ---- the installed Japanese faces ----------------------------------------------

int Ink(const std::vector<uint8_t>& levels) {
    int sum = 0;
    for (uint8_t level : levels) sum += level;
    return sum;
}

TEST_F(FontGlyphTest, KanaAndKanjiDrawAtTheFullWidthAdvance) {
    HDC dc = Select(Make("ＭＳ ゴシック", 16));
    ASSERT_NE(dc, nullptr);
    TEXTMETRICA text{};
    ASSERT_TRUE(GetTextMetricsA(dc, &text));
    EXPECT_EQ(text.tmHeight, 16);
    EXPECT_EQ(text.tmAscent + text.tmDescent, 16);
    // あ, 漢 (Shift-JIS 0x8ABF) and 字 (0x8E9A).
    for (UINT code : {0x82A0u, 0x8ABFu, 0x8E9Au}) {
        SCOPED_TRACE(code);
        GLYPHMETRICS metrics{};
        const std::vector<uint8_t> grey = Bitmap(dc, code, GGO_GRAY4_BITMAP, metrics);
        EXPECT_EQ(metrics.gmCellIncX, 16);
        EXPECT_GT(metrics.gmBlackBoxX, 8u);
        EXPECT_LE(metrics.gmBlackBoxX, 16u);
        EXPECT_LE(metrics.gmptGlyphOrigin.y, text.tmAscent);
        EXPECT_GT(Ink(grey), 16 * 10);
        EXPECT_LE(*std::max_element(grey.begin(), grey.end()), 16);
        const std::vector<uint8_t> mono = Bitmap(dc, code, GGO_BITMAP, metrics);
        EXPECT_GT(Ink(mono), 0);
    }
    GLYPHMETRICS metrics{};
    Bitmap(dc, 'A', GGO_GRAY4_BITMAP, metrics);
    EXPECT_EQ(metrics.gmCellIncX, 8);
    EXPECT_EQ(GetGlyphOutlineA(dc, 0x20, GGO_GRAY4_BITMAP, &metrics, 0, nullptr, &kIdentity), 0u);
    EXPECT_EQ(metrics.gmCellIncX, 8);
}

TEST_F(FontGlyphTest, FacesResolveToTheInstalledJapaneseFaces) {
    GLYPHMETRICS metrics{};
    HDC dc = Select(Make("ＭＳ ゴシック", 24));
    const std::vector<uint8_t> gothic = Bitmap(dc, 0x8ABF, GGO_GRAY4_BITMAP, metrics);
    Select(Make("ＭＳ 明朝", 24));
    const std::vector<uint8_t> mincho = Bitmap(dc, 0x8ABF, GGO_GRAY4_BITMAP, metrics);
    Select(Make("どこにもない書体", 24));
    const std::vector<uint8_t> unknown = Bitmap(dc, 0x8ABF, GGO_GRAY4_BITMAP, metrics);
    Select(Make("ＭＳ ゴシック", 24, 700));
    const std::vector<uint8_t> bold = Bitmap(dc, 0x8ABF, GGO_GRAY4_BITMAP, metrics);
    EXPECT_NE(gothic, mincho);
    EXPECT_EQ(gothic, unknown);
    EXPECT_GT(Ink(bold), Ink(gothic) + Ink(gothic) / 10);
}

}  // namespace
