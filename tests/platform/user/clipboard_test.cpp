// The clipboard without a host display: Shift-JIS text kept byte for byte in
// global memory blocks, and the rules of opening it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace {

class ClipboardTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
    }
    // A block holding the bytes, as a program makes it for SetClipboardData.
    static HGLOBAL Block(const void* bytes, size_t size) {
        HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
        std::memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
        return block;
    }
    static bool Put(HGLOBAL block) {
        if (!OpenClipboard(nullptr)) return false;
        EmptyClipboard();
        const bool taken = SetClipboardData(CF_TEXT, block) == block;
        CloseClipboard();
        return taken;
    }
    static std::string Take() {
        if (!OpenClipboard(nullptr)) return "<not opened>";
        HANDLE block = GetClipboardData(CF_TEXT);
        std::string bytes =
            block != nullptr ? std::string(static_cast<const char*>(GlobalLock(block)), GlobalSize(block)) : "<none>";
        if (block != nullptr) GlobalUnlock(block);
        CloseClipboard();
        return bytes;
    }
};

TEST_F(ClipboardTest, ShiftJisTextComesBackByteForByte) {
    const char text[] = "日本語のテキスト\r\n二行目";  // Shift-JIS in this program
    ASSERT_EQ(static_cast<unsigned char>(text[0]), 0x93u);
    ASSERT_TRUE(Put(Block(text, sizeof(text))));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(Take(), std::string(text, sizeof(text)));
}

TEST_F(ClipboardTest, BlockSizeIsTheSizeAskedFor) {
    ASSERT_TRUE(Put(Block("abc", 4)));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GlobalSize(GetClipboardData(CF_TEXT)), 4u);
    CloseClipboard();
}

TEST_F(ClipboardTest, OnlyTheThreadThatOpenedItUsesItAndStrayHandlesAreRefused) {
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
    EXPECT_FALSE(CloseClipboard());

    ASSERT_TRUE(Put(Block("kept", 5)));
    ASSERT_TRUE(OpenClipboard(nullptr));
    std::thread([] { EXPECT_FALSE(OpenClipboard(nullptr)); }).join();
    char notABlock[8] = "stray";
    EXPECT_EQ(SetClipboardData(CF_TEXT, notABlock), nullptr);
    CloseClipboard();
    EXPECT_EQ(Take(), std::string("kept", 5));
    EXPECT_EQ(GlobalFree(notABlock), static_cast<HGLOBAL>(notABlock));  // not freed: not a block
}

TEST_F(ClipboardTest, EmptyingDropsTheText) {
    ASSERT_TRUE(Put(Block("gone", 5)));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    CloseClipboard();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(Take(), "<none>");
}

}  // namespace
