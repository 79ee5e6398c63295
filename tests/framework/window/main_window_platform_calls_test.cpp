// What the main window takes from the platform's module, input-method and
// shell calls: its instance handle, the layered-window entry, the input
// method switched off, and dropped files reaching the list through the pump.
#include "platform/imm/input_method_feed.h"
#include "platform/shell/dropped_files_feed.h"
#include "tests/support/main_window_fixture.h"

namespace windowtest {
namespace {

using MainWindowPlatformCallsTest = MainWindowTest;

TEST_F(MainWindowPlatformCallsTest, CreationTakesTheProgramModuleAndSwitchesTheInputMethodOff) {
    ASSERT_NE(StartWindowMode(), nullptr);
    EXPECT_NE(MainWindow.instanceHandle, nullptr);
    EXPECT_EQ(MainWindow.instanceHandle, GetModuleHandleA(nullptr));
    // Creation looks the layered-window entry up by name, and the platform has it.
    EXPECT_NE(MainWindow.layeredWindowEntry, nullptr);
    EXPECT_FALSE(platform::InputMethodEnabled());
}

TEST_F(MainWindowPlatformCallsTest, TheImeUseSettingLeavesTheInputMethodOn) {
    MainWindow.settings.imeUse = 1;
    const size_t mark = LogText().size();
    ASSERT_NE(StartWindowMode(), nullptr);
    EXPECT_TRUE(platform::InputMethodEnabled());
    EXPECT_NE(LinesSince(mark).find("ＩＭＥを無効にしました\r\n"), std::string::npos);
}

TEST_F(MainWindowPlatformCallsTest, ADropReachesTheDroppedFileListThroughThePumpAndIsReleased) {
    HWND window = StartWindowMode();
    ASSERT_NE(window, nullptr);
    PumpUntilQuiet();
    DragAcceptFiles(window, TRUE);  // as the application would
    ASSERT_TRUE(platform::PostDroppedFiles(window, {"C:\\home\\a.txt", "C:\\表\\ab"}));
    ASSERT_TRUE(platform::PostDroppedFiles(window, {"D:\\b"}));
    PumpUntilQuiet();
    ASSERT_EQ(MainWindow.droppedFileCount, 3);
    EXPECT_STREQ(MainWindow.droppedFiles[0], "C:\\home\\a.txt");
    EXPECT_STREQ(MainWindow.droppedFiles[1], "C:\\表\\ab");
    EXPECT_STREQ(MainWindow.droppedFiles[2], "D:\\b");
    EXPECT_EQ(platform::PendingDropCount(), 0u);
}

}  // namespace
}  // namespace windowtest
