// FindWindowA in this process and across processes: a second copy of the
// program must see the first one's window by its class.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

extern char** environ;

namespace {

constexpr int kFound = 10;
constexpr int kNotFound = 11;

// Run in a child process of this test program: looks for a window of the
// class given in the environment and tells by its exit code.
TEST(FindWindowChildProcess, ReportsWhetherAnotherProcessHasAWindowOfTheClass) {
    const char* className = std::getenv("KILN_FIND_WINDOW_CLASS");
    const char* locks = std::getenv("KILN_FIND_WINDOW_LOCKS");
    if (className == nullptr || locks == nullptr) GTEST_SKIP() << "only run as a child of FindWindowTest";
    platform::Profile().display.host = platform::HostDisplayUse::Off;
    platform::Profile().display.classLockDirectory = locks;
    std::_Exit(FindWindowA(className, nullptr) != nullptr ? kFound : kNotFound);
}

class FindWindowTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.classLockDirectory = folder.hostPath();
        className = "KilnFindWindowTest" + std::to_string(getpid());
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = className.c_str();
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
    }
    // What a second copy of the program, started now, finds.
    int AskAnotherProcess(const std::string& lookedFor) {
        std::vector<std::string> variables{"KILN_FIND_WINDOW_CLASS=" + lookedFor,
                                           "KILN_FIND_WINDOW_LOCKS=" + folder.hostPath()};
        std::vector<char*> environment;
        for (std::string& variable : variables) environment.push_back(variable.data());
        for (char** inherited = environ; *inherited != nullptr; ++inherited) environment.push_back(*inherited);
        environment.push_back(nullptr);
        std::string program = "/proc/self/exe";
        std::string filter = "--gtest_filter=FindWindowChildProcess.*";
        char* arguments[] = {program.data(), filter.data(), nullptr};
        pid_t child = 0;
        if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environment.data()) != 0) return -1;
        int status = 0;
        if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

    testsupport::TemporaryFolder folder;
    std::string className;
};

TEST_F(FindWindowTest, FindsAWindowOfThisProcessByClassAndText) {
    HWND window = CreateWindowExA(0, className.c_str(), "ゲーム", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    std::string otherCase = className;
    for (char& c : otherCase) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(FindWindowA(otherCase.c_str(), nullptr), window);
    EXPECT_EQ(FindWindowA(className.c_str(), "ゲーム"), window);
    EXPECT_EQ(FindWindowA(nullptr, "ゲーム"), window);
    EXPECT_EQ(FindWindowA(className.c_str(), "別の名前"), nullptr);
    EXPECT_EQ(FindWindowA("NoWindowOfThisClass", nullptr), nullptr);

    // A title changed by WM_SETTEXT is found by its new text.
    ASSERT_TRUE(SetWindowTextA(window, "改題"));
    EXPECT_EQ(FindWindowA(nullptr, "改題"), window);
    DestroyWindow(window);
    EXPECT_EQ(FindWindowA(className.c_str(), nullptr), nullptr);
}

TEST_F(FindWindowTest, AnotherProcessSeesTheWindowWhileItExists) {
    EXPECT_EQ(AskAnotherProcess(className), kNotFound);
    HWND window = CreateWindowExA(0, className.c_str(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(AskAnotherProcess(className), kFound);
    std::string otherCase = className;
    otherCase[0] = 'k';
    EXPECT_EQ(AskAnotherProcess(otherCase), kFound);  // class names compare without regard to case
    EXPECT_EQ(AskAnotherProcess(className + "Other"), kNotFound);
    DestroyWindow(window);
    EXPECT_EQ(AskAnotherProcess(className), kNotFound);
}

// The desktop's handle is one fixed value that no window has, so window
// calls refuse it.
TEST_F(FindWindowTest, TheDesktopIsAHandleOfNoWindow) {
    HWND desktop = GetDesktopWindow();
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(GetDesktopWindow(), desktop);
    RECT rect{};
    EXPECT_FALSE(GetWindowRect(desktop, &rect));
}

}  // namespace
