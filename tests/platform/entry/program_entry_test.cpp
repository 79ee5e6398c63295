// What the loader hands WinMain.
#include <gtest/gtest.h>

#include <string>

#include "platform/entry/program_entry.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace {

struct SeenCall {
    HINSTANCE instance;
    HINSTANCE previous;
    std::string commandLine;
    int show;
} Seen;

int WINAPI RecordingWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    Seen = SeenCall{instance, previous, commandLine, show};
    return 7;
}

class ProgramEntryTest : public testsupport::PlatformTest {};

TEST_F(ProgramEntryTest, WinMainGetsTheModuleTheCommandLineAndTheShowCommand) {
    char program[] = "/usr/games/brackenfold";
    char plain[] = "-window";
    char spaced[] = "two words";
    char empty[] = "";
    char kana[] = "\xe3\x81\x82";  // hiragana a, in UTF-8
    char* argv[] = {program, plain, spaced, empty, kana};
    EXPECT_EQ(platform::RunWinMain(5, argv, RecordingWinMain), 7);
    EXPECT_EQ(Seen.instance, GetModuleHandleA(nullptr));
    EXPECT_EQ(Seen.previous, nullptr);
    EXPECT_EQ(Seen.commandLine, "-window \"two words\" \"\" \x82\xa0");
    EXPECT_EQ(Seen.show, SW_SHOWDEFAULT);

    char* alone[] = {program};
    platform::RunWinMain(1, alone, RecordingWinMain);
    EXPECT_EQ(Seen.commandLine, "");
}

}  // namespace
