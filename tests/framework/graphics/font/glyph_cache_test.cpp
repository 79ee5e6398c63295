// The glyph cache on the fixed test glyph source and the memory cache: the
// cell contents to the byte, the edges, the listing of a string's characters
// and the round-robin eviction.
#include <gtest/gtest.h>

#include <string>

#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/glyph_cache.h"
#include "framework/graphics/graphics_system.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/started_log_fixture.h"

namespace {

class GlyphCacheTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override {
        StartedLogTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
        SoftwareRenderOnlyFlag = 1;
        ASSERT_EQ(InitFontSystem(), 0);
    }
    void TearDown() override {
        EndFontSystem();
        SoftwareRenderOnlyFlag = 0;
        StartedLogTest::TearDown();
    }

    // The test source's level of pixel (x, y) of a character.
    static int Level(int code, int x, int y) { return (x + 2 * y + code) % 17; }

    // A byte of the cell of slot 0, x from the cell's origin.
    static int Code(const FontRecord* record, int x, int y) {
        return record->cacheMemory[static_cast<size_t>(1 + y) * record->cachePitch + 1 + x];
    }
};

TEST_F(GlyphCacheTest, SmallGlyphsLandInTheMemoryCacheAsCodes) {
    // Size 8: ascent 6, so 'A' is 3 by 5 at x 1 and 1 below the line top.
    for (int type : {0, 2}) {
        SCOPED_TRACE(type);
        const int font = CreateFontToHandle(nullptr, 8, -1, type, -1, -1, 0);
        const FontRecord* record = GetFontRecord(font);
        ASSERT_EQ(PrepareStringGlyphs(-1, "A", font, nullptr, nullptr), 0);
        const GlyphSlot* slot = record->index['A'].slot;
        ASSERT_EQ(slot, &record->slots[0]);
        EXPECT_EQ(slot->width, 3);
        EXPECT_EQ(slot->height, 5);
        EXPECT_EQ(slot->xOffset, 1);
        EXPECT_EQ(slot->yOffset, 1);
        EXPECT_EQ(slot->advance, 4);
        for (int y = 0; y < record->cellSize; ++y) {
            for (int x = 0; x < record->cellSize - 1; ++x) {
                const int level = x < 3 && y < 5 ? Level('A', x, y) : 0;
                if (type == 2) {
                    // Levels 0 and 1 both give code 0, fully transparent.
                    ASSERT_EQ(Code(record, x, y), level > 0 ? level - 1 : 0) << x << "," << y;
                } else {
                    const uint8_t* row = record->cacheMemory + static_cast<size_t>(1 + y) * record->cachePitch;
                    ASSERT_EQ((row[(1 + x) / 8] >> (7 - (1 + x) % 8)) & 1, level >= 8 ? 1 : 0) << x << "," << y;
                }
            }
        }
        DeleteFontHandle(font);
    }
}

TEST_F(GlyphCacheTest, EdgeOneMarksTheFourNeighboursOnly) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 1, -1, 1, 0);
    const FontRecord* record = GetFontRecord(font);
    ASSERT_EQ(PrepareStringGlyphs(-1, "A", font, nullptr, nullptr), 0);
    EXPECT_EQ(record->slots[0].width, 5);
    EXPECT_EQ(record->slots[0].advance, 6);
    auto glyph = [](int x, int y) { return x >= 0 && x < 3 && y >= 0 && y < 5 && Level('A', x, y) >= 8; };
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 5; ++x) {
            // The glyph starts one edge in from the cell's origin.
            const int gx = x - 1, gy = y - 1;
            int want = 0;
            if (glyph(gx, gy))
                want = 1;
            else if (glyph(gx - 1, gy) || glyph(gx + 1, gy) || glyph(gx, gy - 1) || glyph(gx, gy + 1))
                want = 2;
            ASSERT_EQ(Code(record, x, y), want) << x << "," << y;
        }
    }
}

TEST_F(GlyphCacheTest, SpacesAdvanceWithoutABitmap) {
    const int font = CreateFontToHandle(nullptr, 16, -1, 3, -1, 2, 0);
    const FontRecord* record = GetFontRecord(font);
    ASSERT_EQ(PrepareStringGlyphs(-1, " 　", font, nullptr, nullptr), 0);
    const GlyphSlot* space = record->index[0x20].slot;
    const GlyphSlot* wide = record->index[0x81 | 0x40 << 8].slot;
    ASSERT_NE(space, nullptr);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(space->advance, 8 + 4);
    EXPECT_EQ(wide->advance, 16 + 4);
    EXPECT_EQ(space->width, 4);  // the edge only: nothing to draw
    for (size_t n = 0; n < static_cast<size_t>(record->cellSize * 2 + 1) * record->cachePitch; ++n)
        ASSERT_EQ(record->cacheMemory[n], 0);
}

TEST_F(GlyphCacheTest, CharactersAreListedByTheFontsLeadByteRule) {
    struct Case {
        std::string text;
        int maxBytes;
        int charset;
        int count;
        unsigned char last0, last1;
    } cases[] = {
        {"aあb", -1, 1, 3, 'b', 0},
        {"aあb", 2, 1, 2, 0x82, 0},  // a lead byte cut from its trail stands alone
        {"ab\x82", -1, 1, 3, 0x82, 0},
        {"\xB0\xA1", -1, 1, 2, 0xA1, 0},
        {"\xB0\xA1", -1, 2, 1, 0xB0, 0xA1},
        {"", -1, 1, 0, 0, 0},
        {std::string(256, 'x'), -1, 1, 256, 'x', 0},
        {std::string(255, 'x') + "あ", -1, 1, 256, 0x82, 0xA0},
        {std::string(257, 'x'), -1, 1, 257, 'x', 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.size() * 10 + c.charset);
        const int font = CreateFontToHandle(nullptr, 16, -1, 2, c.charset, -1, 0);
        CharacterEntry entries[300] = {};
        int count = -1;
        ASSERT_EQ(PrepareStringGlyphs(c.maxBytes, c.text.c_str(), font, entries, &count), 0);
        EXPECT_EQ(count, c.count);
        if (count > 0) {
            EXPECT_EQ(entries[count - 1].bytes[0], c.last0);
            EXPECT_EQ(entries[count - 1].bytes[1], c.last1);
            const GlyphIndexEntry& entry = GetFontRecord(font)->index[c.last0 | c.last1 << 8];
            EXPECT_EQ(entry.cached, 1u);
        }
        DeleteFontHandle(font);
    }
    int count = -1;
    EXPECT_EQ(PrepareStringGlyphs(-1, nullptr, GetDefaultFontHandle(), nullptr, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(PrepareStringGlyphs(-1, "a", 0x20000000 | 39, nullptr, &count), -1);
}

TEST_F(GlyphCacheTest, MoreNewCharactersThanSlotsEvictRoundRobin) {
    // A cell of 200 pixels leaves room for the least of 20 slots.
    const int font = CreateFontToHandle(nullptr, 198, -1, 2, -1, -1, 0);
    FontRecord* record = GetFontRecord(font);
    ASSERT_EQ(record->slotCount, 20);
    std::string text;
    for (int n = 0; n < 25; ++n) text += static_cast<char>('A' + n);
    int count = 0;
    ASSERT_EQ(PrepareStringGlyphs(-1, text.c_str(), font, nullptr, &count), 0);
    EXPECT_EQ(count, 25);
    for (int n = 0; n < 25; ++n) EXPECT_EQ(record->index['A' + n].cached, n < 20 ? 1u : 0u) << n;
    EXPECT_EQ(record->nextSlot, 0);

    const CharacterEntry late = {{'U', 0, 0}};
    EXPECT_EQ(CacheGlyphs(font, 1, &late), &record->slots[0]);
    EXPECT_EQ(record->index['A'].cached, 0u);  // the oldest went first
    EXPECT_EQ(record->index['A'].slot, nullptr);
    const CharacterEntry again = {{'A', 0, 0}};
    EXPECT_EQ(CacheGlyphs(font, 1, &again), &record->slots[1]);  // the next slot, not its old one
    EXPECT_EQ(record->index['B'].cached, 0u);
    EXPECT_EQ(record->slots[1].backLink, &record->index['A']);
}

}  // namespace
