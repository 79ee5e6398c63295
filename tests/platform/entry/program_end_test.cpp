// However the program ends, a display mode it switched to goes with it: a
// return from WinMain without the program's own shutdown, exit, ExitProcess,
// or a signal. SIGTERM, SIGINT and SIGHUP close the main window as its close
// button does, so that the program ends through its own close path; a second
// one, or one before any window exists, ends the process at once. Each way
// out runs in a process of its own, which writes each mode the display is
// asked for and the WM_CLOSE its window hears to the standard error stream.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/entry/program_entry.h"
#include "platform/host/sdl_host.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace {

enum class Way {
    Return,
    ShutDown,
    Exit,
    ExitProcess,
    Signal,
    SecondSignal,
    SignalWithoutWindow,
    SignalToADialog,         // a process forked as SDL2 forks one for a dialog gets the signal
    SecondSignalOverADialog  // the program ends by a second signal while that process is up
};

// Where the program writes the id of the process it forked for a dialog.
constexpr char kDialogIdFile[] = "KILN_TEST_DIALOG_ID_FILE";

Way way = Way::Return;
int endSignal = 0;

LRESULT CALLBACK ClosingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        std::fprintf(stderr, "WM_CLOSE\n");
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

// Reads no message and touches no window from here on. (A sleep rather
// than pause: ThreadSanitizer hands a signal on only at a call it watches.)
[[noreturn]] void WaitForTheEnd() {
    for (;;) usleep(10000);
}

// A full-screen window in a mode the display runs: the offscreen display's
// own size at 16 bits, for which SDL2's display is asked to switch modes.
int WINAPI LeavingWinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::host::WatchModesAsked(
        [](int width, int height) { std::fprintf(stderr, "mode %dx%d\n", width, height); });
    if (way == Way::SignalWithoutWindow) {
        raise(endSignal);
        WaitForTheEnd();
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ClosingProcedure;
    windowClass.lpszClassName = "LeavingWindow";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "LeavingWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                                  nullptr, nullptr, nullptr, nullptr);
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmPelsWidth = 1024;
    mode.dmPelsHeight = 768;
    mode.dmBitsPerPel = 16;
    if (window == nullptr || ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return 99;
    switch (way) {
        case Way::Return: return 0;  // as a start-up that fails returns, without its shutdown
        case Way::ShutDown: ChangeDisplaySettingsA(nullptr, 0); return 0;
        case Way::Exit: std::exit(3);
        case Way::ExitProcess: ExitProcess(4);
        case Way::Signal:
            raise(endSignal);
            while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
            return 5;
        case Way::SecondSignal:
            raise(endSignal);
            raise(endSignal);
            WaitForTheEnd();
        case Way::SignalToADialog: {
            const pid_t dialog = fork();
            if (dialog == 0) {
                raise(endSignal);
                WaitForTheEnd();
            }
            int status = 0;
            waitpid(dialog, &status, 0);
            if (WIFEXITED(status) && WEXITSTATUS(status) == 128 + endSignal)
                std::fprintf(stderr, "dialog ended on signal %d\n", endSignal);
            // The program hears nothing of it.
            for (int look = 0; look < 20; ++look) {
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
                Sleep(10);
            }
            return 6;
        }
        case Way::SecondSignalOverADialog: {
            const pid_t dialog = fork();
            if (dialog == 0) {
                // Holds nothing of its parent's open: the test hears the
                // parent end whether this process goes or not.
                for (int open = 3; open < 1024; ++open) close(open);
                WaitForTheEnd();
            }
            std::ofstream(std::getenv(kDialogIdFile)) << dialog;
            raise(endSignal);
            raise(endSignal);
            WaitForTheEnd();
        }
        case Way::SignalWithoutWindow: break;
    }
    return 98;
}

[[noreturn]] void RunTheProgram(Way leaving, int signal = 0) {
    way = leaving;
    endSignal = signal;
    char name[] = "brackenfold";
    char* argv[] = {name, nullptr};
    std::exit(platform::RunWinMain(1, argv, LeavingWinMain));
}

class ProgramEndTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        PlatformTest::SetUp();
        platform::Profile().display.classLockDirectory = folder.hostPath();
    }
    testsupport::TemporaryFolder folder;
};

TEST_F(ProgramEndTest, TheDisplaysOwnModeComesBackHoweverTheProgramEnds) {
    struct Case {
        const char* name;
        Way way;
        int exitCode;
    };
    const Case cases[] = {
        {"return from WinMain", Way::Return, 0},
        {"its own shutdown", Way::ShutDown, 0},
        {"exit", Way::Exit, 3},
        {"ExitProcess", Way::ExitProcess, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(RunTheProgram(c.way), testing::ExitedWithCode(c.exitCode), "^mode 1024x768\nmode 0x0\n$");
    }
}

TEST_F(ProgramEndTest, AnEndSignalClosesTheMainWindowAndTheProgramEndsThroughItsClosePath) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        EXPECT_EXIT(RunTheProgram(Way::Signal, signal), testing::ExitedWithCode(5),
                    "^mode 1024x768\nWM_CLOSE\nmode 0x0\n$");
    }
}

// A program that does not read its messages (its close path stuck, a dialog
// up) still ends on the second signal, and gives the display back.
TEST_F(ProgramEndTest, ASecondSignalOrOneBeforeAnyWindowEndsTheProcessAtOnce) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        EXPECT_EXIT(RunTheProgram(Way::SecondSignal, signal), testing::KilledBySignal(signal),
                    "^mode 1024x768\nmode 0x0\n$");
    }
    EXPECT_EXIT(RunTheProgram(Way::SignalWithoutWindow, SIGHUP), testing::KilledBySignal(SIGHUP), "^$");
}

}  // namespace

namespace {

// Whether the process has ended (a zombie not yet reaped has).
bool Ended(pid_t process) {
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string id, name, state;
    return !(stat >> id >> name >> state) || state == "Z" || state == "X";
}

// The process SDL2 forks to show a dialog ends on the signal as by default,
// rather than hand it to the program as its own; and it goes when the
// program does, rather than stay up with nothing to answer it.
TEST_F(ProgramEndTest, AProcessForkedForADialogEndsOnTheSignalAndWithTheProgram) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer hands no signal on in a process forked from one with threads";
#endif
    EXPECT_EXIT(RunTheProgram(Way::SignalToADialog, SIGINT), testing::ExitedWithCode(6),
                "^mode 1024x768\ndialog ended on signal 2\nmode 0x0\n$");

    // The process that runs the program runs this test again up to here,
    // with a folder of its own: it takes the name from its environment.
    setenv(kDialogIdFile, (folder.hostPath() + "/dialog").c_str(), 0);
    const std::string idFile = std::getenv(kDialogIdFile);
    EXPECT_EXIT(RunTheProgram(Way::SecondSignalOverADialog, SIGTERM), testing::KilledBySignal(SIGTERM), "");
    unsetenv(kDialogIdFile);
    pid_t dialog = 0;
    ASSERT_TRUE(std::ifstream(idFile) >> dialog);
    for (int look = 0; look < 3000 && !Ended(dialog); ++look) usleep(10000);
    EXPECT_TRUE(Ended(dialog));
    if (!Ended(dialog)) kill(dialog, SIGKILL);
}

}  // namespace
