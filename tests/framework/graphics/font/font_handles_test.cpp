// Font handles on the fixed test glyph source and the memory cache: the
// 40-slot table, the handle values and their check bits, the measures, the
// default font, restore and end.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/graphics_system.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/started_log_fixture.h"

namespace {

class FontHandlesTest : public testsupport::StartedLogTest {
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
};

TEST_F(FontHandlesTest, TheTableHoldsFortyAndAFreedSlotIsTakenWithNewCheckBits) {
    const int defaultFont = GetDefaultFontHandle();
    ASSERT_EQ(defaultFont & 0xFFFF, 0);
    std::vector<int> handles;
    for (int n = 1; n < kMaxFontHandles; ++n) {
        const int handle = CreateFontToHandle(nullptr, 12, -1, 0, -1, -1, 0);
        ASSERT_EQ(handle & 0xFFFF, n);
        EXPECT_EQ(handle & 0x78000000, 0x20000000);
        handles.push_back(handle);
    }
    const size_t mark = LogText().size();
    EXPECT_EQ(CreateFontToHandle(nullptr, 12, -1, 0, -1, -1, 0), -1);
    EXPECT_EQ(LinesSince(mark), "作成できるフォントハンドル数 40 の限界を超えました\r\n");

    const int old = handles[4];
    ASSERT_EQ(DeleteFontHandle(old), 0);
    ASSERT_EQ(DeleteFontHandle(handles[9]), 0);
    const int reused = CreateFontToHandle(nullptr, 12, -1, 0, -1, -1, 0);
    EXPECT_EQ(reused & 0xFFFF, old & 0xFFFF);  // the lowest free slot
    EXPECT_NE(reused, old);
    EXPECT_EQ(IsValidFontHandle(old), 0);
    EXPECT_EQ(GetFontSize(old), -1);
    EXPECT_EQ(DeleteFontHandle(old), -1);
    EXPECT_EQ(GetFontSize(reused), 12);
}

TEST_F(FontHandlesTest, AGivenSlotIsTakenOnlyWhenFreeAndInTheTable) {
    const size_t mark = LogText().size();
    for (int slot : {0, -2, 40, 1000}) EXPECT_EQ(CreateFontToHandle(nullptr, 12, -1, 0, -1, -1, 0, slot, 5), -1);
    EXPECT_EQ(LogText().size(), mark);
    EXPECT_EQ(CreateFontToHandle(nullptr, 12, -1, 0, -1, -1, 0, 7, 5), 0x20000000 | (5 << 16) | 7);
}

TEST_F(FontHandlesTest, MeasuresAndCacheFollowTypeAndEdge) {
    struct Case {
        int type, edge;
        int wantType, lineHeight, cellSize, bitsPerPixel, pitch, slotCount;
    } cases[] = {
        // Test glyphs of size 16: tmHeight 16, tmMaxCharWidth 16.
        {0, -1, 0, 16, 24, 1, 3, 568},
        {0, 3, 1, 22, 24, 8, 24, 568},
        {3, 1, 3, 18, 24, 8, 24, 568},
        {2, -1, 2, 16, 24, 8, 24, 568},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type * 10 + c.edge);
        const int handle = CreateFontToHandle("ＭＳ ゴシック", 16, -1, c.type, -1, c.edge, 0);
        const FontRecord* record = GetFontRecord(handle);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->fontType, c.wantType);
        EXPECT_EQ(record->lineHeight, c.lineHeight);
        EXPECT_EQ(record->cellSize, c.cellSize);
        EXPECT_EQ(record->textureCache, 0);
        EXPECT_EQ(record->cacheBitsPerPixel, c.bitsPerPixel);
        EXPECT_EQ(record->cachePitch, c.pitch);
        EXPECT_EQ(record->slotCount, c.slotCount);
        EXPECT_EQ(record->cacheHeight, c.slotCount * c.cellSize);
        EXPECT_EQ(record->slots[c.slotCount - 1].cellNumber, c.slotCount - 1);
        EXPECT_EQ(record->slots[c.slotCount].cellNumber, -1);
        EXPECT_EQ(record->thickness, 6);
        EXPECT_EQ(record->charsetCode, 1);
        EXPECT_STREQ(record->face, "ＭＳ ゴシック");
        DeleteFontHandle(handle);
    }
}

TEST_F(FontHandlesTest, AKoreanSystemDefaultsToTheHangeulCharacterSet) {
    platform::Profile().display.oemCodePage = 949;
    const int handle = CreateFontToHandle(nullptr, 16, -1, 0, -1, -1, 0);
    EXPECT_EQ(GetFontRecord(handle)->charsetCode, 2);
    EXPECT_EQ(GetFontRecord(CreateFontToHandle(nullptr, 16, -1, 0, 1, -1, 0))->charsetCode, 1);
}

TEST_F(FontHandlesTest, AFailedCreationLogsAndLeavesTheSlotFree) {
    platform::Profile().fonts.createFontFailures = 3;
    size_t mark = LogText().size();
    EXPECT_EQ(CreateFontToHandle("ＭＳ 明朝", 16, -1, 0, -1, -1, 0), -1);
    EXPECT_EQ(LinesSince(mark), "指定のフォントの作成に失敗しました\r\n");
    platform::Profile().fonts.createFontFailures = 3;
    mark = LogText().size();
    EXPECT_EQ(CreateFontToHandle(nullptr, 16, -1, 0, -1, -1, 0), -1);
    EXPECT_EQ(LinesSince(mark), "フォントの作成に失敗しました\r\n");
    // Two retries succeed.
    platform::Profile().fonts.createFontFailures = 2;
    const int handle = CreateFontToHandle(nullptr, 16, -1, 0, -1, -1, 0);
    EXPECT_EQ(handle & 0xFFFF, 1);
    // The check counter counted on for each attempt: 0 was the default font.
    EXPECT_EQ((handle >> 16) & 0x7FF, 3);
}

// The GDI weight is the thickness times 100, held in GDI's 0 to 1000 range:
// a thickness read from a file may be anything, and its product left the
// int range.
TEST_F(FontHandlesTest, AnyThicknessGivesAWeightInGdisRange) {
    struct Case {
        int thickness;
        LONG weight;  // as the GDI reports it; 0 and below read as normal (400)
    } cases[] = {{7, 700}, {10, 1000}, {11, 1000}, {INT_MAX, 1000}, {-2, 400}, {INT_MIN, 400}, {INT_MIN + 1, 400}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.thickness);
        const int handle = CreateFontToHandle(nullptr, 16, c.thickness, 0, -1, -1, 0);
        ASSERT_NE(handle, -1);
        int thickness = 0;
        ASSERT_EQ(GetFontHandleInfo(nullptr, nullptr, &thickness, handle), 0);
        EXPECT_EQ(thickness, c.thickness);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, GetFontRecord(handle)->gdiFont);
        TEXTMETRICA metrics{};
        GetTextMetricsA(memory, &metrics);
        SelectObject(memory, previous);
        DeleteDC(memory);
        EXPECT_EQ(metrics.tmWeight, c.weight);
        DeleteFontHandle(handle);
    }
    // The default font takes the same road.
    ASSERT_EQ(SetDefaultFontSize(nullptr, 16, INT_MIN), 0);
    EXPECT_NE(GetDefaultFontHandle(), -1);
}

TEST_F(FontHandlesTest, ALongFaceIsCutAtACharacterBoundary) {
    struct Case {
        std::string face;
        size_t kept;
    } cases[] = {
        {std::string(300, 'a'), 255},
        {[] { std::string s; for (int n = 0; n < 150; ++n) s += "あ"; return s; }(), 254},
        {[] { std::string s = "a"; for (int n = 0; n < 150; ++n) s += "あ"; return s; }(), 255},
    };
    for (const Case& c : cases) {
        const int handle = CreateFontToHandle(c.face.c_str(), 16, -1, 0, -1, -1, 0);
        char face[256];
        int size = 0, thickness = 0;
        ASSERT_EQ(GetFontHandleInfo(face, &size, &thickness, handle), 0);
        EXPECT_EQ(std::strlen(face), c.kept);
        EXPECT_EQ(c.face.compare(0, c.kept, face), 0);
        DeleteFontHandle(handle);
    }
}

TEST_F(FontHandlesTest, RestoreKeepsValuesAndSpacingAndRaisesDeleteFlags) {
    const int first = CreateFontToHandle(nullptr, 20, 7, 3, -1, 2, 0);
    const int second = CreateFontToHandle("ＭＳ 明朝", 12, -1, 0, -1, -1, 0);
    SetFontSpacing(3, first);
    int firstGone = -1, secondGone = -1;
    SetFontDeleteFlagPointer(first, &firstGone);
    SetFontDeleteFlagPointer(second, &secondGone);
    EXPECT_EQ(firstGone, 0);
    ASSERT_EQ(RestoreFontHandles(), 0);
    EXPECT_EQ(firstGone, 1);
    EXPECT_EQ(secondGone, 1);
    const FontRecord* record = GetFontRecord(first);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->spacing, 3);
    EXPECT_EQ(record->size, 20);
    EXPECT_EQ(record->thickness, 7);
    EXPECT_EQ(record->fontType, 3);
    EXPECT_EQ(record->edgeSize, 2);
    EXPECT_EQ(record->deleteFlag, nullptr);
    EXPECT_EQ(GetFontSize(second), 12);
    EXPECT_EQ(IsValidFontHandle(GetDefaultFontHandle()), 1);
}

TEST_F(FontHandlesTest, TheEndLeavesNoFontAndTheDefaultFollowsItsSettings) {
    const int defaultFont = GetDefaultFontHandle();
    EXPECT_EQ(GetFontSize(defaultFont), 16);
    ASSERT_EQ(SetDefaultFontSize(nullptr, 24, -1), 0);
    const int bigger = GetDefaultFontHandle();
    EXPECT_EQ(IsValidFontHandle(defaultFont), 0);
    EXPECT_EQ(GetFontSize(bigger), 24);
    RefreshDefaultFont();
    EXPECT_EQ(GetDefaultFontHandle(), bigger);  // unchanged settings keep the handle

    const int other = CreateFontToHandle(nullptr, 12, -1, 0, -1, -1, 0);
    ASSERT_EQ(EndFontSystem(), 0);
    EXPECT_EQ(GetDefaultFontHandle(), -1);
    EXPECT_EQ(IsValidFontHandle(bigger), 0);
    EXPECT_EQ(IsValidFontHandle(other), 0);
    for (int slot = 0; slot < kMaxFontHandles; ++slot)
        for (int check = 0; check < 8; ++check)
            EXPECT_EQ(GetFontRecord(0x20000000 | (check << 16) | slot), nullptr);
}

}  // namespace
