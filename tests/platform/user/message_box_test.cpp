// Message boxes: a test sink sees each box as it was asked for and answers
// it; without one the box is written to the terminal and shown by a display
// that a user sees, or else answered at once.
#include <gtest/gtest.h>

#include <vector>

#include "platform/host/video_adapter_override.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/host_display.h"
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

// A display that shows windows and dialogs, and answers each dialog with the
// button the test chose.
class DialogDisplay final : public platform::VideoAdapter {
public:
    struct Dialog {
        platform::HostWindowId owner = 0;
        std::string title;
        std::string text;
        platform::MessageBoxIcon icon = platform::MessageBoxIcon::Plain;
        std::vector<platform::MessageBoxButton> buttons;
    };
    std::vector<Dialog> dialogs;
    bool showsDialogs = true;
    int press = 0;  // the index of the button pressed

    bool ShowsWindows() const override { return true; }
    bool DesktopSize(LONG&, LONG&) override { return false; }
    bool DisplayModes(std::vector<platform::DisplayMode>&) override { return false; }
    bool SwitchDisplayMode(const platform::DisplayMode*) override { return true; }
    platform::PictureArea PictureAreaOf(platform::HostWindowId, LONG width, LONG height) override {
        return platform::PictureArea{width, height, RECT{0, 0, width, height}, false};
    }
    platform::HostWindowId OpenWindow(const std::string&, const RECT&, bool, bool) override { return ++opened_; }
    void CloseWindow(platform::HostWindowId) override {}
    void SetTitle(platform::HostWindowId, const std::string&) override {}
    void SetStyle(platform::HostWindowId, bool, bool, bool) override {}
    void SetIcon(platform::HostWindowId, int32_t, int32_t, const uint32_t*) override {}
    void Show(platform::HostWindowId, bool) override {}
    void Place(platform::HostWindowId, platform::detail::Placement) override {}
    void Move(platform::HostWindowId, LONG, LONG) override {}
    void Resize(platform::HostWindowId, LONG, LONG) override {}
    void Raise(platform::HostWindowId) override {}
    void Present(platform::HostWindowId, LONG, LONG, const uint32_t*) override {}
    void ShowCursor(bool) override {}
    void AllowScreenSaver(bool) override {}
    platform::GlContext CreateGlContext(platform::HostWindowId) override { return nullptr; }
    bool MakeGlContextCurrent(platform::HostWindowId, platform::GlContext) override { return false; }
    void SwapGlWindow(platform::HostWindowId) override {}
    void DestroyGlContext(platform::GlContext) override {}
    bool PollEvent(platform::HostEvent&) override { return false; }
    bool SetClipboardText(const std::string&) override { return false; }
    bool ClipboardText(std::string&) override { return false; }
    bool ShowMessageBox(platform::HostWindowId owner, const std::string& title, const std::string& text,
                        platform::MessageBoxIcon icon, const std::vector<platform::MessageBoxButton>& buttons,
                        int& answer) override {
        if (!showsDialogs) return false;
        dialogs.push_back(Dialog{owner, title, text, icon, buttons});
        answer = buttons.at(static_cast<size_t>(press)).answer;
        return true;
    }

private:
    platform::HostWindowId opened_ = 0;
};

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// On a display that a user sees the box is a dialog with the same text and
// title (the system's "Error" without a caption), over its owner's window;
// the button pressed is the answer. The terminal still has its line.
TEST_F(MessageBoxTest, ADisplayThatAUserSeesShowsTheBoxAsADialog) {
    DialogDisplay display;
    platform::OverrideHostVideo(&display);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "message box owner";
    RegisterClassExA(&windowClass);
    HWND owner = CreateWindowExA(0, "message box owner", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                                 nullptr, nullptr, nullptr);
    MSG message{};
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the display shows the window
    const platform::HostWindowId shownOwner = platform::detail::HostWindowOf(owner);
    ASSERT_NE(shownOwner, 0u);

    testing::internal::CaptureStderr();
    display.press = 1;
    EXPECT_EQ(MessageBoxA(owner, "続けますか\r\n二行目", "確認", MB_YESNO | MB_ICONQUESTION), IDNO);
    display.press = 0;
    EXPECT_EQ(MessageBoxA(nullptr, "Failed to load Image. This program will quit.", nullptr, MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "書込権限がありません", "アクセス権限エラー", MB_OKCANCEL | MB_ICONEXCLAMATION),
              IDOK);
    display.showsDialogs = false;  // a display no user sees
    EXPECT_EQ(MessageBoxA(nullptr, "はい", nullptr, MB_YESNO), IDYES);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              Utf8(u8"[確認] 続けますか\n二行目\n[Error] Failed to load Image. This program will quit.\n"
                   u8"[アクセス権限エラー] 書込権限がありません\n[Error] はい\n"));

    ASSERT_EQ(display.dialogs.size(), 3u);
    const DialogDisplay::Dialog& question = display.dialogs[0];
    EXPECT_EQ(question.owner, shownOwner);
    EXPECT_EQ(question.title, Utf8(u8"確認"));
    EXPECT_EQ(question.text, Utf8(u8"続けますか\n二行目"));
    EXPECT_EQ(question.icon, platform::MessageBoxIcon::Question);
    ASSERT_EQ(question.buttons.size(), 2u);
    EXPECT_EQ(question.buttons[0].answer, IDYES);
    EXPECT_TRUE(question.buttons[0].onReturn);
    EXPECT_EQ(question.buttons[1].answer, IDNO);
    EXPECT_TRUE(question.buttons[1].onEscape);

    const DialogDisplay::Dialog& failure = display.dialogs[1];
    EXPECT_EQ(failure.owner, 0u);
    EXPECT_EQ(failure.title, "Error");
    EXPECT_EQ(failure.text, "Failed to load Image. This program will quit.");
    EXPECT_EQ(failure.icon, platform::MessageBoxIcon::Error);
    ASSERT_EQ(failure.buttons.size(), 1u);
    EXPECT_EQ(failure.buttons[0].answer, IDOK);
    EXPECT_TRUE(failure.buttons[0].onReturn && failure.buttons[0].onEscape);

    EXPECT_EQ(display.dialogs[2].icon, platform::MessageBoxIcon::Warning);
    ASSERT_EQ(display.dialogs[2].buttons.size(), 2u);
    EXPECT_EQ(display.dialogs[2].buttons[1].answer, IDCANCEL);
    DestroyWindow(owner);
    platform::OverrideHostVideo(nullptr);
}

}  // namespace
