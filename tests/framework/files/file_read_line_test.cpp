#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "framework/files/file_access_table.h"
#include "framework/files/file_read_interface.h"
#include "tests/support/stream_file_fixture.h"

namespace {

// The lines one after another, and "<end>" for the -1 that ends them.
using Lines = std::vector<std::string>;

struct LineCase {
    const char* name;
    std::string bytes;
    int bufferLength;
    Lines lines;
};

const LineCase kLineCases[] = {
    {"CrLfEndsALine", "ab\r\ncd", 100, {"ab", "cd", "<end>"}},
    {"EmptyLines", "\r\n\r\nx\r\n", 100, {"", "", "x", "<end>"}},
    {"LongLinesComeInPieces", "abcdef", 4, {"abc", "def", "<end>"}},
    {"LoneCrAndLfBelongToTheLine", "a\rb\nc\r\n", 100, {"a\rb\nc", "<end>"}},
    {"CrLastOfTheBytesReadStays", "abc\r\nde", 5, {"abc\r", "\nde", "<end>"}},
    {"ZeroByteEndsTheLineAndSkipsTheRestOfTheRead", std::string("ab\0cd\r\nef", 9), 7,
     {"ab", "\nef", "<end>"}},
    {"TwoByteCharacterIsNotSplit", "ab\x82\xa0" "cd", 4, {"ab", "\x82\xa0" "c", "d", "<end>"}},
    {"TrailByteIsNeverCrLfOrZero", "\x82\r\nab\r\n", 100, {"\x82\r\nab", "<end>"}},
    {"TrailByteIsNeverZero", std::string("\x82\0z\r\n", 5), 100, {std::string("\x82\0z", 3), "<end>"}},
    {"TrailByteBackslash", "\x83\x5c\r\n\x83\x5c", 100, {"\x83\x5c", "\x83\x5c", "<end>"}},
    // A lead byte whose trail byte cannot be had is a character of its own.
    {"FileEndsInALeadByte", "ab\x82", 100, {"ab\x82", "<end>"}},
    {"FileEndsInALeadByteAfterAFullRead", "abc\x82", 4, {"abc", "\x82", "<end>"}},
    {"BufferOfTwoTakesOneByteAtATime", "\x82\xa0z", 2, {"\x82", "\xa0", "z", "<end>"}},
    {"EmptyFile", "", 100, {"<end>"}},
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class ReadFileLineTest : public streamtest::StreamFileTest,
                         public testing::WithParamInterface<std::tuple<LineCase, int>> {};

TEST_P(ReadFileLineTest, ReadsTheLinesOfTheFile) {
    const auto& [c, async] = GetParam();
    WriteFile("lines.txt", c.bytes);
    const uintptr_t file = OpenFileForRead("lines.txt", async);
    ASSERT_NE(file, 0u);
    Lines lines;
    std::vector<char> buffer(c.bufferLength + 1, '\x7f');
    // Bounded, so that a reader that never gets to the end fails instead of
    // hanging.
    while (lines.size() < c.lines.size() + 2) {
        const int length = ReadFileLine(buffer.data(), c.bufferLength, file);
        if (length < 0) {
            lines.push_back("<end>");
            break;
        }
        ASSERT_LT(length, c.bufferLength);
        EXPECT_EQ(buffer[length], '\0');
        EXPECT_EQ(buffer[c.bufferLength], '\x7f');
        lines.emplace_back(buffer.data(), length);
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(ReadFileLine(buffer.data(), c.bufferLength, file), -1);
    FileStreamClose(file);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadFileLineTest,
                         testing::Combine(testing::ValuesIn(kLineCases), testing::Values(0, 1)),
                         [](const testing::TestParamInfo<std::tuple<LineCase, int>>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Async" : "");
                         });

using FileReaderTest = streamtest::StreamFileTest;

TEST_F(FileReaderTest, ReadFileLineRefusesBuffersWithNoRoomForAByte) {
    WriteFile("line.txt", "abc");
    const uintptr_t file = OpenFileForRead("line.txt", 0);
    ASSERT_NE(file, 0u);
    char buffer[8] = {'x'};
    EXPECT_EQ(ReadFileLine(buffer, 1, file), -1);
    EXPECT_EQ(ReadFileLine(buffer, 0, file), -1);
    EXPECT_EQ(ReadFileLine(buffer, -5, file), -1);
    EXPECT_EQ(ReadFileLine(nullptr, 8, file), -1);
    EXPECT_EQ(buffer[0], 'x');
    // Nothing was consumed.
    EXPECT_EQ(ReadFileLine(buffer, 8, file), 3);
    EXPECT_STREQ(buffer, "abc");
    FileStreamClose(file);
}

TEST_F(FileReaderTest, ReadFileCharGivesEachByteThenMinusOne) {
    WriteFile("chars.bin", std::string("a\0\xff\x82", 4));
    for (int async : {0, 1}) {
        SCOPED_TRACE(async);
        const uintptr_t file = OpenFileForRead("chars.bin", async);
        ASSERT_NE(file, 0u);
        std::vector<int> got;
        for (int i = 0; i < 6; ++i) got.push_back(ReadFileChar(file));
        EXPECT_EQ(got, (std::vector<int>{'a', 0, 255, 0x82, -1, -1}));
        FileStreamClose(file);
    }
    WriteFile("empty.bin", "");
    const uintptr_t empty = OpenFileForRead("empty.bin", 0);
    ASSERT_NE(empty, 0u);
    EXPECT_EQ(ReadFileChar(empty), -1);
    FileStreamClose(empty);
}

}  // namespace
