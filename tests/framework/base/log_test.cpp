#include "framework/base/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/kernel/debug_output_sink.h"
#include "platform/kernel/heap_accounting.h"
#include "platform/kernel/manual_clock.h"
#include "tests/support/started_log_fixture.h"

namespace {

using LogTest = testsupport::StartedLogTest;

TEST_F(LogTest, StartRecreatesTheFileEmptyAndResetsTheLineState) {
    WriteLogLine("left over");
    IncreaseLogDepth();
    platform::AdvanceManualClockMilliseconds(50);
    EXPECT_EQ(StartLogFile(), 1);
    EXPECT_EQ(LogText(), "");
    EXPECT_EQ(LogIndentDepth, 0);
    EXPECT_EQ(LogMidLine, 0);
    WriteLogLine("fresh\n");
    EXPECT_EQ(LogText(), "0:fresh\r\n");
}

TEST_F(LogTest, PiecesFormOneLineWithOneTimeStampAndGoToTheDebuggerToo) {
    platform::AdvanceManualClockMilliseconds(5);
    EXPECT_EQ(WriteLogLine("abc"), -1);
    EXPECT_EQ(LogMidLine, 1);
    platform::AdvanceManualClockMilliseconds(7);
    WriteLogLine("def\n");
    EXPECT_EQ(LogMidLine, 0);
    platform::AdvanceManualClockMilliseconds(1222);
    WriteLogLine("ghi\n");

    const std::string expected = "5:abcdef\r\n1234:ghi\r\n";
    EXPECT_EQ(LogText(), expected);
    EXPECT_EQ(platform::DebugOutputText(), expected);
}

TEST_F(LogTest, EachNewLineIsIndentedByTheDepth) {
    IncreaseLogDepth();
    IncreaseLogDepth();
    WriteLogLine("two ");
    WriteLogLine("pieces\n");
    DecreaseLogDepth();
    WriteLogLine("one\n");
    DecreaseLogDepth();
    DecreaseLogDepth();
    EXPECT_EQ(LogIndentDepth, 0);
    WriteLogLine("none\n");
    EXPECT_EQ(LogText(), "0:\t\ttwo pieces\r\n0:\tone\r\n0:none\r\n");
}

TEST_F(LogTest, EmptyTextWritesNothingAndKeepsTheLineState) {
    WriteLogLine("");
    EXPECT_EQ(LogMidLine, 0);
    WriteLogLine("abc");
    WriteLogLine("");
    EXPECT_EQ(LogMidLine, 1);
    WriteLogLine("def\n");
    EXPECT_EQ(LogText(), "0:abcdef\r\n");
    EXPECT_EQ(platform::DebugOutputText(), "0:abcdef\r\n");
}

struct ConversionCase {
    const char* text;
    const char* written;  // after the time stamp
    int midLine;
};

void PrintTo(const ConversionCase& c, std::ostream* out) {
    *out << ::testing::PrintToString(std::string(c.text));
}

class LineFeedConversionTest : public LogTest,
                               public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(LineFeedConversionTest, WritesLineFeedsAsCarriageReturnLineFeed) {
    const ConversionCase& c = GetParam();
    WriteLogLine(c.text);
    EXPECT_EQ(LogText(), std::string("0:") + c.written);
    EXPECT_EQ(LogMidLine, c.midLine);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineFeedConversionTest,
    ::testing::Values(ConversionCase{"abc\n", "abc\r\n", 0},
                      ConversionCase{"a\nb\n", "a\r\nb\r\n", 0},
                      ConversionCase{"\nx", "\r\nx", 1},
                      // A text that holds CR LF is taken as converted from there on.
                      ConversionCase{"a\r\nb\nc", "a\r\nb\nc", 1},
                      ConversionCase{"a\nb\r\nc\n", "a\r\nb\r\nc\n", 0},
                      ConversionCase{"\r\n", "\r\n", 0},
                      // Second bytes of two-byte characters are not characters.
                      ConversionCase{"表示\n", "表示\r\n", 0}));

TEST_F(LogTest, SwitchedOffLogTouchesNeitherFileNorDebugger) {
    const std::string path = folder_.hostPath() + "/Log.txt";
    std::ofstream(path, std::ios::binary) << "old";

    SetLogFileOutput(0);
    EXPECT_EQ(StartLogFile(), 1);
    WriteLogLine("abc\n");
    WriteLogFormat("%d", 5);
    EXPECT_EQ(LogText(), "old");

    std::filesystem::remove(path);
    StartLogFile();
    WriteLogLine("abc\n");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(platform::DebugOutputText(), "");

    SetLogFileOutput(1);
    WriteLogLine("on again\n");
    EXPECT_EQ(LogText(), "0:on again\r\n");
}

TEST_F(LogTest, NothingIsWrittenBeforeStartUpSetsTheDirectory) {
    StartDirectory[0] = '\0';
    WriteLogLine("abc\n");
    EXPECT_EQ(LogText(), "");
    EXPECT_EQ(platform::DebugOutputText(), "");
}

struct LengthCase {
    std::string text;
    bool allocates;
};

TEST_F(LogTest, LongTextsAreWrittenWholeThroughAnAllocatedCopy) {
    std::string lineFeeds;
    for (int i = 0; i < 100; i++) lineFeeds += "a\n";
    const std::vector<LengthCase> cases = {
        {std::string(255, 'x'), false},
        {std::string(255, 'x') + "\n", true},
        {std::string(300, 'y') + "\n", true},
        // 200 characters, but 300 once converted.
        {lineFeeds, true},
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.text.size());
        StartLogFile();
        const uint64_t allocationsBefore = platform::HeapAllocationCount();
        WriteLogLine(c.text.c_str());
        EXPECT_EQ(platform::HeapAllocationCount() - allocationsBefore, c.allocates ? 1u : 0u);

        std::string expected = "0:";
        for (char ch : c.text) expected += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        EXPECT_EQ(LogText(), expected);
    }
}

TEST_F(LogTest, FormattedTextGetsALineEndAndIsCutToTheBuffer) {
    WriteLogFormat("%d-%s", 12, "ab");
    EXPECT_EQ(LogText(), "0:12-ab\r\n");

    // A 1024-byte buffer: 1022 characters at most, then the line end and the
    // terminator.
    StartLogFile();
    EXPECT_EQ(WriteLogFormat("%s", std::string(3000, 'x').c_str()), -1);
    EXPECT_EQ(LogText(), "0:" + std::string(1022, 'x') + "\r\n");

    // A cut never leaves half of a two-byte character behind.
    std::string wide;
    for (int i = 0; i < 600; i++) wide += "表";
    StartLogFile();
    WriteLogFormat("x%s", wide.c_str());
    EXPECT_EQ(LogText(), "0:x" + wide.substr(0, 1020) + "\r\n");
}

TEST_F(LogTest, PathAddsASeparatorOnlyWhenTheDirectoryLacksOne) {
    SetStartDirectory(folder_.windowsPath() + "\\");
    WriteLogLine("one\n");
    EXPECT_EQ(LogText(), "0:one\r\n");

    // The second byte of this character is 0x5C, a backslash's value.
    std::filesystem::create_directory(std::filesystem::path(folder_.hostPath()) / u8"表");
    SetStartDirectory(folder_.windowsPath() + "\\表");
    WriteLogLine("two\n");
    std::ifstream in(std::filesystem::path(folder_.hostPath()) / u8"表" / "Log.txt",
                     std::ios::binary);
    std::string inner((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(inner, "0:two\r\n");
}

TEST_F(LogTest, TextIsDroppedWhenTheFileCannotBeOpened) {
    const std::vector<std::string> directories = {
        folder_.windowsPath() + "\\missing",
        // Too long for a path together with the file name.
        "C:\\" + std::string(250, 'a'),
    };
    for (const std::string& directory : directories) {
        SetStartDirectory(directory);
        WriteLogLine("abc\n");
        EXPECT_EQ(platform::DebugOutputText(), "");
        EXPECT_EQ(LogMidLine, 0);
    }
    EXPECT_EQ(LogText(), "");
}

TEST_F(LogTest, OnScreenLogNeedsTheGraphicsDeviceAndTheWindow) {
    EXPECT_EQ(InitOnScreenLog(), -1);
    EXPECT_EQ(RefreshOnScreenLogFont(), 0);
    EXPECT_EQ(GetOnScreenLogFlag(), 0);
    EndOnScreenLog();
    EXPECT_EQ(LogText(), "");
}

}  // namespace
