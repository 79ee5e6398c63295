// GetObjectA on DIB sections: the size, row length, depth and pixels of a
// section as a BITMAP, the size asked for without a buffer, and the objects
// and buffers it refuses.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/gdi/gdi.h"
#include "tests/support/test_support.h"

namespace {

class DibSectionDescriptionTest : public testsupport::PlatformTest {
protected:
    static HBITMAP MakeSection(LONG width, LONG height, void** bits) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    }
};

TEST_F(DibSectionDescriptionTest, ASectionIsDescribedWithItsOwnPixels) {
    // Top down and bottom up alike: the height is positive, the bits are
    // where the section's first row lies in memory.
    for (LONG height : {-7L, 3L}) {
        SCOPED_TRACE(height);
        void* bits = nullptr;
        HBITMAP section = MakeSection(13, height, &bits);
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(GetObjectA(section, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
        BITMAP description{};
        description.bmType = 99;
        ASSERT_EQ(GetObjectA(section, sizeof description + 8, &description), static_cast<int>(sizeof(BITMAP)));
        EXPECT_EQ(description.bmType, 0);
        EXPECT_EQ(description.bmWidth, 13);
        EXPECT_EQ(description.bmHeight, height < 0 ? -height : height);
        EXPECT_EQ(description.bmWidthBytes, 52);
        EXPECT_EQ(description.bmPlanes, 1);
        EXPECT_EQ(description.bmBitsPixel, 32);
        EXPECT_EQ(description.bmBits, bits);
        EXPECT_TRUE(DeleteObject(section));
    }
}

TEST_F(DibSectionDescriptionTest, WhatIsNoSectionOrTooSmallABufferGivesNothing) {
    void* bits = nullptr;
    HBITMAP section = MakeSection(4, 4, &bits);
    BITMAP description{};
    EXPECT_EQ(GetObjectA(section, sizeof description - 1, &description), 0);
    EXPECT_EQ(description.bmWidth, 0);

    HDC context = CreateCompatibleDC(nullptr);
    HGDIOBJ stock = SelectObject(context, section);
    EXPECT_EQ(GetObjectA(context, sizeof description, &description), 0);
    EXPECT_EQ(GetObjectA(nullptr, sizeof description, &description), 0);
    EXPECT_EQ(GetObjectA(reinterpret_cast<HGDIOBJ>(0x7654), sizeof description, &description), 0);
    SelectObject(context, stock);
    DeleteDC(context);

    EXPECT_TRUE(DeleteObject(section));
    EXPECT_EQ(GetObjectA(section, sizeof description, &description), 0);
    EXPECT_EQ(description.bmWidth, 0);
}

}  // namespace
