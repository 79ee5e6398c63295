// The services around the main window: clipboard text, the menu item table
// and menu commands, the dropped-file list, the mouse position in
// screen-image pixels, the click log and the cursor switch.
#include <ostream>
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/window/clipboard_text.h"
#include "framework/window/menus.h"
#include "framework/window/mouse.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_system.h"
#include "tests/support/main_window_fixture.h"

namespace windowtest {
namespace {

using ServicesTest = MainWindowTest;

TEST_F(ServicesTest, ShiftJisTextMakesTheRoundTripThroughTheClipboard) {
    StartWindowMode();
    const char* text = "日本語のテキスト\r\n二行目ｶﾅ";
    EXPECT_EQ(SetClipboardText(text), 0);
    const int size = GetClipboardText(nullptr, 0);
    EXPECT_EQ(size, static_cast<int>(std::strlen(text)) + 2);  // the block with its terminator, plus one
    std::vector<char> buffer(size);
    EXPECT_EQ(GetClipboardText(buffer.data(), buffer.size()), 0);
    EXPECT_STREQ(buffer.data(), text);

    // A short buffer gets what fits, never half a character.
    SetClipboardText("あいう");
    char small[6];
    EXPECT_EQ(GetClipboardText(small, sizeof(small)), 0);
    EXPECT_STREQ(small, "あい");
}

TEST_F(ServicesTest, AClipboardBlockWithoutTerminatorIsReadOnlyToItsEnd) {
    StartWindowMode();
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, 3);
    std::memcpy(GlobalLock(block), "abc", 3);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    EXPECT_EQ(GetClipboardText(nullptr, 0), 4);
    char buffer[16];
    std::memset(buffer, 'z', sizeof(buffer));
    EXPECT_EQ(GetClipboardText(buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "abc");
}

TEST_F(ServicesTest, AnEmptyClipboardHasNoText) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    char buffer[8];
    EXPECT_EQ(GetClipboardText(nullptr, 0), -1);
    EXPECT_EQ(GetClipboardText(buffer, sizeof(buffer)), -1);
}

// ---- menus ------------------------------------------------------------------------------

std::vector<std::pair<std::string, int>> chosenItems;
std::vector<WPARAM> chosenCommands;

TEST_F(ServicesTest, TheMenuItemTableIsCollectedDepthFirstAndCommandsReachTheRoutines) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "開く");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, 102, "終了");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "ファイル");
    AppendMenuA(bar, MF_STRING, 200, "ヘルプ");
    MainWindow.settings.menuHandle = bar;
    MainWindow.settings.menuInUse = 1;
    MainWindow.settings.menuCommandRoutine = [](WPARAM command) { chosenCommands.push_back(command); };
    MainWindow.settings.menuItemRoutine = [](const char* name, int id) { chosenItems.push_back({name, id}); };
    chosenItems.clear();
    chosenCommands.clear();
    HWND window = StartWindowMode();

    ASSERT_EQ(MainWindow.menuItemCount, 4);
    const char* names[] = {"ファイル", "開く", "終了", "ヘルプ"};
    const int positions[] = {0, 0, 2, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(MainWindow.menuItems[i].name, names[i]);
        EXPECT_EQ(MainWindow.menuItems[i].position, positions[i]);
    }
    EXPECT_EQ(MainWindow.menuItems[2].menu, file);
    EXPECT_EQ(MainWindow.menuItems[2].id, 102);

    SendMessageA(window, WM_COMMAND, 102, 0);
    EXPECT_EQ(chosenCommands, std::vector<WPARAM>{102});
    EXPECT_EQ(chosenItems, (std::vector<std::pair<std::string, int>>{{"終了", 102}}));
    char name[MenuItemNameSize];
    EXPECT_EQ(GetMenuItemNameById(0x10000 | 200, name), 0);  // only the low 16 bits count
    EXPECT_STREQ(name, "ヘルプ");
    EXPECT_EQ(GetMenuItemNameById(999, name), -1);
    EXPECT_EQ(IsMenuShown(), 1);
}

TEST_F(ServicesTest, WithoutAMenuThereAreNoNamesAndNoMenuShown) {
    StartWindowMode();
    char name[MenuItemNameSize];
    EXPECT_EQ(GetMenuItemNameById(1, name), -1);
    EXPECT_EQ(IsMenuShown(), 0);
}

TEST_F(ServicesTest, AMenuLargerThanTheTableKeepsItsFirst128Items) {
    HMENU bar = CreateMenu();
    for (int i = 0; i < 130; ++i) AppendMenuA(bar, MF_STRING, 1000 + i, ("項目" + std::to_string(i)).c_str());
    EXPECT_EQ(CollectMenuItems(bar), 0);
    EXPECT_EQ(MainWindow.menuItemCount, MenuItemTableSize);
    EXPECT_STREQ(MainWindow.menuItems[127].name, "項目127");
    DestroyMenu(bar);
}

// ---- dropped files -------------------------------------------------------------------------

// A drop of `count` names "<index>.txt"; the finish is counted.
UINT droppedCount = 0;
int finishes = 0;

UINT QueryDrop(HANDLE, UINT index, LPSTR buffer, UINT size) {
    if (index == 0xFFFFFFFFu) return droppedCount;
    const std::string name = "C:\\落とした\\" + std::to_string(index) + ".txt";
    if (buffer == nullptr) return static_cast<UINT>(name.size());
    std::snprintf(buffer, size, "%s", name.c_str());
    return static_cast<UINT>(name.size());
}

void FinishDrop(HANDLE) { ++finishes; }

TEST_F(ServicesTest, DroppedNamesFillTheListUpTo1000AndTheDropIsAlwaysReleased) {
    finishes = 0;
    droppedCount = 3;
    EXPECT_EQ(TakeDroppedFiles(nullptr, QueryDrop, FinishDrop), 3);
    EXPECT_STREQ(MainWindow.droppedFiles[2], "C:\\落とした\\2.txt");

    droppedCount = 1200;
    EXPECT_EQ(TakeDroppedFiles(nullptr, QueryDrop, FinishDrop), 997);  // counting those already listed
    EXPECT_EQ(MainWindow.droppedFileCount, DroppedFileListSize);
    EXPECT_STREQ(MainWindow.droppedFiles[999], "C:\\落とした\\996.txt");
    EXPECT_EQ(TakeDroppedFiles(nullptr, QueryDrop, FinishDrop), 0);
    EXPECT_EQ(finishes, 3);

    EXPECT_EQ(FreeDroppedFileList(), 0);
    EXPECT_EQ(MainWindow.droppedFileCount, 0);
    EXPECT_EQ(MainWindow.droppedFiles[0], nullptr);
}

TEST_F(ServicesTest, AFailedNameAllocationStopsTheTakingAndKeepsTheNamesTaken) {
    finishes = 0;
    droppedCount = 10;
    platform::Profile().failures.heap.failAllocationNumber = 4;
    EXPECT_EQ(TakeDroppedFiles(nullptr, QueryDrop, FinishDrop), 3);
    EXPECT_EQ(MainWindow.droppedFileCount, 3);
    EXPECT_STREQ(MainWindow.droppedFiles[2], "C:\\落とした\\2.txt");
    EXPECT_EQ(finishes, 1);
}

// ---- mouse -------------------------------------------------------------------------------------

struct PositionCase {
    const char* name;
    int windowMode;
    double rate;  // both scale rates; 0 is a rate never set
    POINT cursor;
    POINT expected;
};
// Cases print as their names, so test names are the same in every run.
inline void PrintTo(const PositionCase& c, std::ostream* out) { *out << c.name; }

class MousePositionTest : public MainWindowTest, public ::testing::WithParamInterface<PositionCase> {};

TEST_P(MousePositionTest, TheCursorIsGivenInScreenImagePixels) {
    const PositionCase& position = GetParam();
    MainWindow.settings.windowModeFlag = position.windowMode;
    MainWindow.ClientScreenRect = RECT{100, 50, 100 + 1280, 50 + 960};
    MainWindow.settings.WindowScaleRateX = position.rate;
    MainWindow.settings.WindowScaleRateY = position.rate;
    platform::detail::SetCursorPosition(position.cursor);
    int x = -1, y = -1;
    EXPECT_EQ(GetMouseClientPosition(&x, &y), 0);
    EXPECT_EQ(x, position.expected.x);
    EXPECT_EQ(y, position.expected.y);
    EXPECT_EQ(GetMouseClientPosition(nullptr, nullptr), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MousePositionTest,
    ::testing::Values(PositionCase{"DoubledWindow", 1, 2.0, {300, 250}, {100, 100}},
                      PositionCase{"LeftOfTheClientArea", 1, 2.0, {99, 49}, {0, 0}},  // truncated toward zero
                      PositionCase{"RateNeverSet", 1, 0.0, {300, 250}, {200, 200}},
                      PositionCase{"FullScreen", 0, 2.0, {300, 250}, {300, 250}}),
    [](const ::testing::TestParamInfo<PositionCase>& info) { return info.param.name; });

TEST_F(ServicesTest, ClicksAreLoggedWithTheirButtonAndPositionUpTo32) {
    HWND window = StartWindowMode();
    const RECT client = MainWindow.ClientScreenRect;
    platform::detail::SetCursorPosition(POINT{client.left + 10, client.top + 20});
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    SendMessageA(window, WM_MBUTTONDOWN, MK_MBUTTON, 0);
    SendMessageA(window, WM_LBUTTONUP, 0, 0);
    ASSERT_EQ(MainWindow.mouseClickCount, 3);
    const int buttons[] = {1, 2, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(MainWindow.mouseClicks[i].button, buttons[i]);
        EXPECT_EQ(MainWindow.mouseClicks[i].x, 10);
        EXPECT_EQ(MainWindow.mouseClicks[i].y, 20);
    }
    for (int i = 0; i < 40; ++i) SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(MainWindow.mouseClickCount, MouseClickLogSize);
}

int CursorPostsWaiting(HWND window) {
    int count = 0;
    MSG message;
    while (PeekMessageA(&message, window, WM_SETCURSOR, WM_SETCURSOR, PM_REMOVE)) ++count;
    return count;
}

TEST_F(ServicesTest, TheCursorSwitchActsOnlyOnAChangeUnlessAskedToApplyAgain) {
    HWND window = StartWindowMode();
    CursorPostsWaiting(window);
    ASSERT_TRUE(platform::detail::CursorShown());
    SetMouseCursorVisible(0);
    EXPECT_FALSE(platform::detail::CursorShown());
    EXPECT_EQ(CursorPostsWaiting(window), 1);
    SetMouseCursorVisible(0);
    EXPECT_EQ(CursorPostsWaiting(window), 0);
    SetMouseCursorVisible(-1);
    EXPECT_EQ(CursorPostsWaiting(window), 1);
    EXPECT_FALSE(platform::detail::CursorShown());
    // While hidden, mouse messages keep it hidden; showing brings it back.
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(platform::detail::CursorShown());
    SetMouseCursorVisible(1);
    // The display count is back at 0; the arrow itself returns with the next
    // WM_SETCURSOR over the client area.
    EXPECT_EQ(ShowCursor(TRUE), 1);
    ShowCursor(FALSE);
}

}  // namespace
}  // namespace windowtest
