// Deleting a DIB section through DeleteObject: its pixels are freed once, and
// not while a memory device context still holds it.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/gdi/gdi.h"
#include "tests/support/test_support.h"

namespace {

class DibSectionDeleteTest : public testsupport::PlatformTest {
protected:
    HBITMAP MakeSection(void** bits) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 64;
        info.bmiHeader.biHeight = -64;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    }
};

TEST_F(DibSectionDeleteTest, DeleteObjectFreesASectionOnceAndOnlyWhenNoContextHoldsIt) {
    void* bits = nullptr;
    HBITMAP section = MakeSection(&bits);
    ASSERT_NE(section, nullptr);
    ASSERT_NE(bits, nullptr);
    static_cast<uint32_t*>(bits)[64 * 64 - 1] = 0xFF00FF00u;

    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(memory, nullptr);
    HGDIOBJ stock = SelectObject(memory, section);
    ASSERT_NE(stock, nullptr);
    EXPECT_FALSE(DeleteObject(section));  // still selected: the context would read freed pixels
    EXPECT_EQ(SelectObject(memory, stock), section);

    EXPECT_TRUE(DeleteObject(section));
    EXPECT_FALSE(DeleteObject(section));
    EXPECT_EQ(SelectObject(memory, section), nullptr);  // gone, so no longer a bitmap
    EXPECT_TRUE(DeleteDC(memory));
}

TEST_F(DibSectionDeleteTest, DeleteObjectRefusesHandlesItDoesNotKnow) {
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(0x7654)));
}

}  // namespace
