// Main window creation: what it logs in each mode, where the window stands,
// the default class name and title, the double-start refusal (across
// processes, as two copies of the game would meet), and the timer accuracy
// test on the manual clock.
#include <ostream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "framework/base/framework_state.h"
#include "platform/kernel/debug_output_sink.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_system.h"
#include "tests/support/main_window_fixture.h"

extern char** environ;

namespace windowtest {
namespace {

constexpr DWORD kWindowModeStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowModeExStyle = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;

using CreationTest = MainWindowTest;

TEST_F(CreationTest, WindowModeLogsItsStepsAndCentresAClientAreaOfTheScreenSize) {
    ChangeWindowMode(1);
    SetMainWindowTitle("ブラッケンフォールド");
    const size_t mark = LogText().size();
    ASSERT_EQ(CreateMainWindow(), 0);

    EXPECT_EQ(LinesSince(mark),
              "メモリ総量:512.00MB  空きメモリ領域:256.00MB \r\n"
              "ソフトの二重起動検査... 二重起動はされていませんでした\r\n"
              "ウインドウクラスを登録します... 登録に成功しました\r\n"
              "ウインドウモード起動用のウインドウを作成します\r\n"
              "ウインドウの作成に成功しました\r\n"
              // Showing the window sizes it, and the first sizing restyles it.
              "ウインドウスタイルをウインドウモード用に変更します... 完了\r\n"
              "ＩＭＥを無効にしました\r\n");
    EXPECT_EQ(platform::DebugOutputText().find("256.00MB\n") != std::string::npos, true);

    HWND window = GetMainWindowHandle();
    ASSERT_NE(window, nullptr);
    // The class takes the title, and the window shows it.
    EXPECT_EQ(FindWindowA("ブラッケンフォールド", "ブラッケンフォールド"), window);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~WS_VISIBLE, kWindowModeStyle);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), kWindowModeExStyle);

    RECT expected{0, 0, 640, 480};
    AdjustWindowRectEx(&expected, kWindowModeStyle, FALSE, kWindowModeExStyle);
    const int width = expected.right - expected.left, height = expected.bottom - expected.top;
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, expected.left + (kDesktopWidth - width) / 2);
    EXPECT_EQ(outer.top, expected.top + (kDesktopHeight - height) / 2);
    EXPECT_EQ(outer.right - outer.left, width);
    EXPECT_EQ(outer.bottom - outer.top, height);
    EXPECT_EQ(MainWindow.WindowFrameTopOffset, -expected.top);

    const RECT& client = MainWindow.ClientScreenRect;
    EXPECT_EQ(client.left, outer.left - expected.left);
    EXPECT_EQ(client.top, outer.top - expected.top);
    EXPECT_EQ(client.right - client.left, 640);
    EXPECT_EQ(client.bottom - client.top, 480);

    EXPECT_EQ(IsWindowActive(), 1);
    EXPECT_EQ(IsQuitPosted(), 0);
    EXPECT_EQ(IsCloseRequested(), 0);
    EXPECT_EQ(MainWindow.creatingFlag, 0);
    EXPECT_TRUE(platform::detail::CursorShown());
    EXPECT_EQ(UsePerformanceCounter, 0);  // no counter: no accuracy test
    EXPECT_EQ(MainWindow.DesktopMode.width, kDesktopWidth);
    EXPECT_EQ(MainWindow.DesktopMode.height, kDesktopHeight);
    EXPECT_EQ(MainWindow.DesktopMode.colorBits, 32);
    EXPECT_EQ(MainWindow.codePageSelector, 1);
}

TEST_F(CreationTest, FullScreenCoversTheScreenSizeAtTheOriginWithTheCursorHidden) {
    const size_t mark = LogText().size();
    ASSERT_EQ(CreateMainWindow(), 0);
    EXPECT_EQ(LinesSince(mark),
              "メモリ総量:512.00MB  空きメモリ領域:256.00MB \r\n"
              "ソフトの二重起動検査... 二重起動はされていませんでした\r\n"
              "ウインドウクラスを登録します... 登録に成功しました\r\n"
              "フルスクリーンモード用のウインドウを作成します\r\n"
              "ウインドウの作成に成功しました\r\n"
              "カーソルを不可視にしました\r\n"
              "ＩＭＥを無効にしました\r\n");
    HWND window = GetMainWindowHandle();
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, 640);
    EXPECT_EQ(outer.bottom, 480);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~WS_VISIBLE, WS_POPUP);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), WS_EX_TOPMOST);
    EXPECT_FALSE(platform::detail::CursorShown());
    EXPECT_EQ(MainWindow.cursorVisibleSetting, 0);
}

TEST_F(CreationTest, WithoutTitleOrClassNameTheClassIsK123987NAndTheTitleKilnLib) {
    ASSERT_EQ(CreateMainWindow(), 0);
    EXPECT_EQ(FindWindowA("K123987N", "KilnLib"), GetMainWindowHandle());
    EXPECT_STREQ(MainWindow.settings.className, "K123987N");
    EXPECT_STREQ(MainWindow.settings.windowText, "KilnLib");
}

TEST_F(CreationTest, ALongTitleIsCutTo255BytesWithoutSplittingATwoByteCharacter) {
    // 254 letters and a two-byte character: the character does not fit.
    std::string title(254, 'a');
    title += "窓";
    ChangeWindowMode(1);
    SetMainWindowTitle(title.c_str());
    EXPECT_EQ(std::string(MainWindow.settings.windowText), std::string(254, 'a'));
    ASSERT_EQ(CreateMainWindow(), 0);
    EXPECT_EQ(std::string(MainWindow.settings.className), std::string(254, 'a'));

    // 253 letters and the character make exactly 255 bytes, which fit.
    std::string fits(253, 'b');
    fits += "窓";
    SetMainWindowTitle(fits.c_str());
    EXPECT_EQ(std::string(MainWindow.settings.windowText), fits);
    EXPECT_EQ(FindWindowA(MainWindow.settings.className, fits.c_str()), GetMainWindowHandle());
}

TEST_F(CreationTest, AnEarlierRunsQuitFlagIsClearedAndTheSettingsSurviveTheReset) {
    MainWindow.quitFlag = 1;
    MainWindow.closeRequested = 1;
    MainWindow.settings.WindowScaleRateX = 2.0;
    MainWindow.settings.WindowScaleRateY = 2.0;
    SetActiveStateCallback([](int, void*) {}, nullptr);
    StartWindowMode();
    EXPECT_EQ(IsQuitPosted(), 0);
    EXPECT_EQ(IsCloseRequested(), 0);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
    RECT client{};
    GetClientRect(GetMainWindowHandle(), &client);
    EXPECT_EQ(client.right, 1280);  // the scale rates carried over
    EXPECT_EQ(client.bottom, 960);
}

TEST_F(CreationTest, AClassThatCannotBeRegisteredFailsWithTheQuitFlagSet) {
    WNDCLASSEXA taken{};
    taken.cbSize = sizeof(taken);
    taken.lpfnWndProc = DefWindowProcA;
    taken.lpszClassName = "登録済み";
    ASSERT_NE(RegisterClassExA(&taken), 0);
    SetMainWindowTitle("登録済み");
    const size_t mark = LogText().size();
    EXPECT_EQ(CreateMainWindow(), -1);
    EXPECT_NE(LinesSince(mark).find("ウインドウクラスを登録します... ウインドウクラスの登録に失敗しました\r\n"),
              std::string::npos);
    EXPECT_EQ(IsQuitPosted(), 1);
    EXPECT_EQ(GetMainWindowHandle(), nullptr);
}

// ---- double start ---------------------------------------------------------------------

constexpr int kChildCreated = 10;
constexpr int kChildRefused = 11;
constexpr int kChildLogWrong = 12;
constexpr int kChildGoesOn = 13;

// Run in a child process of this test program: a second copy of the game
// starting with the title given in the environment.
TEST(DoubleStartChildProcess, StartsASecondCopyOfTheProgram) {
    const char* title = std::getenv("KILN_DOUBLE_START_TITLE");
    const char* locks = std::getenv("KILN_DOUBLE_START_LOCKS");
    const char* allowed = std::getenv("KILN_DOUBLE_START_ALLOWED");
    if (title == nullptr || locks == nullptr || allowed == nullptr)
        GTEST_SKIP() << "only run as a child of DoubleStartTest";
    testsupport::TemporaryFolder folder;
    SetCurrentDirectoryA(folder.windowsPath().c_str());
    std::snprintf(StartDirectory, sizeof(StartDirectory), "%s", folder.windowsPath().c_str());
    SetLogFileOutput(1);
    StartLogFile();
    platform::Profile().display.host = platform::HostDisplayUse::Off;
    platform::Profile().display.classLockDirectory = locks;
    platform::Profile().clock.performanceFrequency = 0;
    MainWindow.settings.doubleStartAllowed = std::atoi(allowed);
    ChangeWindowMode(1);
    SetMainWindowTitle(title);
    const int result = CreateMainWindow();
    const std::string log = folder.readFile("Log.txt");
    int code = kChildLogWrong;
    if (result == -1) {
        if (log.find("ソフトの二重起動検査... 二重起動されています、ソフトを終了します\r\n") != std::string::npos &&
            IsQuitPosted() == 1 && GetMainWindowHandle() == nullptr)
            code = kChildRefused;
    } else if (log.find("ソフトの二重起動検査... 二重起動されていますが続行します\r\n") != std::string::npos) {
        code = kChildGoesOn;
    } else if (log.find("ソフトの二重起動検査... 二重起動はされていませんでした\r\n") != std::string::npos) {
        code = kChildCreated;
    }
    std::_Exit(code);
}

class DoubleStartTest : public MainWindowTest, public ::testing::WithParamInterface<int> {
protected:
    int StartSecondCopy(const std::string& title, int allowed) {
        std::vector<std::string> variables{"KILN_DOUBLE_START_TITLE=" + title,
                                           "KILN_DOUBLE_START_LOCKS=" + folder_.hostPath(),
                                           "KILN_DOUBLE_START_ALLOWED=" + std::to_string(allowed)};
        std::vector<char*> environment;
        for (std::string& variable : variables) environment.push_back(variable.data());
        for (char** inherited = environ; *inherited != nullptr; ++inherited) environment.push_back(*inherited);
        environment.push_back(nullptr);
        std::string program = "/proc/self/exe";
        std::string filter = "--gtest_filter=DoubleStartChildProcess.*";
        char* arguments[] = {program.data(), filter.data(), nullptr};
        pid_t child = 0;
        if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environment.data()) != 0) return -1;
        int status = 0;
        if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }
};

TEST_P(DoubleStartTest, ASecondCopyWithTheSameTitleIsRefusedUnlessDoubleStartIsAllowed) {
    const std::string title = "二重起動" + std::to_string(getpid());
    StartWindowMode(title.c_str());
    const int allowed = GetParam();
    EXPECT_EQ(StartSecondCopy(title, allowed), allowed ? kChildGoesOn : kChildRefused);
    // The first copy goes on untouched.
    EXPECT_EQ(ProcessWindowMessages(), 0);
    EXPECT_EQ(IsQuitPosted(), 0);
    // Another title is another program.
    EXPECT_EQ(StartSecondCopy(title + "別", 0), kChildCreated);
}

INSTANTIATE_TEST_SUITE_P(AllowedOrNot, DoubleStartTest, ::testing::Values(0, 1));

// ---- timer accuracy -----------------------------------------------------------------------

struct AccuracyCase {
    const char* name;
    uint64_t counterFrequency;
    uint64_t nanosecondsPerRead;
    bool multimediaTimerChosen;
};
// Cases print as their names, so test names are the same in every run.
inline void PrintTo(const AccuracyCase& c, std::ostream* out) { *out << c.name; }

class TimerAccuracyTest : public MainWindowTest, public ::testing::WithParamInterface<AccuracyCase> {};

int CountAfter(const std::string& log, const char* label) {
    const size_t at = log.find(label);
    return at == std::string::npos ? -1 : std::atoi(log.c_str() + at + std::strlen(label));
}

TEST_P(TimerAccuracyTest, ChoosesTheClockThatChangedMoreOftenWithinSixtyChangesOrOneSecond) {
    const AccuracyCase& accuracy = GetParam();
    platform::Profile().clock.performanceFrequency = accuracy.counterFrequency;
    platform::Profile().clock.advanceNanosecondsPerRead = accuracy.nanosecondsPerRead;
    const size_t mark = LogText().size();
    const DWORD before = timeGetTime();
    ASSERT_EQ(CreateMainWindow(), 0);
    const DWORD elapsed = timeGetTime() - before;
    const std::string log = LinesSince(mark);

    ASSERT_NE(log.find("タイマーの精度を検査します\r\n"), std::string::npos);
    const int multimedia = CountAfter(log, "精度結果 更新回数 マルチメディアタイマー：");
    const int counter = CountAfter(log, "パフォーマンスカウンター：");
    ASSERT_GE(multimedia, 0);
    ASSERT_GE(counter, 0);
    // The test ends at 60 changes of either clock or after one second.
    EXPECT_TRUE(multimedia == 60 || counter == 60 || elapsed >= 1000) << multimedia << " " << counter;
    EXPECT_LE(multimedia, 60);
    EXPECT_LE(counter, 60);
    if (accuracy.multimediaTimerChosen) {
        EXPECT_GT(multimedia, counter);
        EXPECT_NE(log.find("\r\n マルチメディアタイマーを使用します タイマー分解能 : 1.00 ms \r\n "), std::string::npos)
            << log;
        EXPECT_EQ(UsePerformanceCounter, 0);
    } else {
        EXPECT_LE(multimedia, counter);
        char line[128];
        std::snprintf(line, sizeof(line), "\r\n パフォーマンスカウンターを使用します タイマー分解能 : %lf KHz \r\n ",
                      accuracy.counterFrequency / 1000.0);
        EXPECT_NE(log.find(line), std::string::npos) << log;
        EXPECT_EQ(UsePerformanceCounter, 1);
    }
    EXPECT_EQ(PerformanceCounterFrequency, accuracy.counterFrequency);
}

INSTANTIATE_TEST_SUITE_P(
    Clocks, TimerAccuracyTest,
    ::testing::Values(
        // Both change at every read: a tie keeps the performance counter.
        AccuracyCase{"Tie", 1000000000, 1000000, false},
        // The counter changes at every read, the millisecond timer at every tenth.
        AccuracyCase{"FineCounter", 1000000000, 100000, false},
        // A counter of 1 Hz hardly changes while the timer changes at every read.
        AccuracyCase{"CoarseCounter", 1, 1000000, true},
        // 30 ms a read: one second passes before either clock changes 60 times.
        AccuracyCase{"OneSecond", 1, 30000000, true}),
    [](const ::testing::TestParamInfo<AccuracyCase>& info) { return info.param.name; });

}  // namespace
}  // namespace windowtest
