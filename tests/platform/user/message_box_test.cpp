// Message boxes: a test sink sees each box as it was asked for and answers
// it; without one the box is answered at once.
#include <gtest/gtest.h>

#include <vector>

#include "platform/profile/machine_profile.h"
#include "platform/user/message_box_sink.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace {

class MessageBoxTest : public testsupport::PlatformTest {};

TEST_F(MessageBoxTest, TheSinkSeesOwnerTextCaptionAndType) {
    std::vector<platform::MessageBoxRecord> boxes;
    platform::SetMessageBoxSink([&](const platform::MessageBoxRecord& box) {
        boxes.push_back(box);
        return IDCANCEL;
    });
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(MessageBoxA(owner, "ファイルがありません", "エラー", MB_OKCANCEL | MB_ICONHAND), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDCANCEL);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].text, "ファイルがありません");
    EXPECT_TRUE(boxes[0].hasCaption);
    EXPECT_EQ(boxes[0].caption, "エラー");
    EXPECT_EQ(boxes[0].type, MB_OKCANCEL | MB_ICONHAND);
    EXPECT_EQ(boxes[1].text, "");
    EXPECT_FALSE(boxes[1].hasCaption);
}

TEST_F(MessageBoxTest, WithoutASinkTheBoxIsAnsweredAtOnce) {
    std::vector<platform::MessageBoxRecord> boxes;
    platform::SetMessageBoxSink([&](const platform::MessageBoxRecord& box) {
        boxes.push_back(box);
        return IDOK;
    });
    platform::ResetMachine();  // uninstalls the sink
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "読めません", nullptr, MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "続けますか", "確認", MB_YESNO), IDYES);
    const std::string written = testing::internal::GetCapturedStderr();
    // The host's text is UTF-8.
    EXPECT_EQ(written, reinterpret_cast<const char*>(u8"[Error] 読めません\n[確認] 続けますか\n"));
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
