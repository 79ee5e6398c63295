// Formatting into a caller's buffer: results, return values, and cuts at the
// buffer's end that must not split a two-byte Shift-JIS character.
#include "framework/base/format_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

int FormatThroughList(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int FormatThroughList(char* buffer, size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = FormatStringV(buffer, size, format, arguments);
    va_end(arguments);
    return result;
}

TEST(FormatTextTest, FormatsByPrintfRules) {
    char buffer[1024];
    EXPECT_EQ(FormatString(buffer, sizeof buffer, "%s ( Build %d %s )", "Windows7", 7601,
                           "Service Pack 1"),
              0);
    EXPECT_STREQ(buffer, "Windows7 ( Build 7601 Service Pack 1 )");
    EXPECT_EQ(FormatString(buffer, sizeof buffer, "%s", ""), 0);
    EXPECT_STREQ(buffer, "");

    EXPECT_EQ(FormatThroughList(buffer, sizeof buffer, "%.2f|%5d|%-3s|%x", 2.5, 42, "a", 255), 17);
    EXPECT_STREQ(buffer, "2.50|   42|a  |ff");
    EXPECT_EQ(FormatThroughList(buffer, sizeof buffer, "%s", ""), 0);
    EXPECT_STREQ(buffer, "");
    // Japanese text passes through as Shift-JIS bytes.
    EXPECT_EQ(FormatThroughList(buffer, sizeof buffer, "ＣＰＵ名：%s", "x"), 11);
    EXPECT_STREQ(buffer, "\x82\x62\x82\x6F\x82\x74\x96\xBC\x81\x46x");
}

TEST(FormatTextTest, CutsAtTheBufferWithoutSplittingACharacter) {
    const struct {
        const char* name;
        const char* text;
        size_t bufferSize;
        const char* expected;
    } cases[] = {
        {"fits exactly", "abc", 4, "abc"},
        {"plain cut", "abcdef", 4, "abc"},
        {"cut would split あ", "あい", 4, "\x82\xA0"},
        {"cut after a whole character", "あい", 3, "\x82\xA0"},
        {"cut would split the first character", "あ", 2, ""},
        // 0x81 is a lead byte here and a second byte there: only a walk from
        // the start tells them apart.
        {"second byte that looks like a lead byte", "\x81\x81" "a", 3, "\x81\x81"},
        {"lead byte after a whole character", "\x81\x81\x81\x81", 4, "\x81\x81"},
        {"second byte 0x5C", "\x83\x5C\x83\x5C", 4, "\x83\x5C"},
        {"half-width katakana are one byte", "\xB1\xB1\xB1", 3, "\xB1\xB1"},
        {"room for the terminator only", "abc", 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Exactly the given size, so that a write past it is reported.
        std::vector<char> buffer(c.bufferSize, 'z');
        EXPECT_EQ(FormatString(buffer.data(), buffer.size(), "%s", c.text), 0);
        EXPECT_STREQ(buffer.data(), c.expected);
        std::fill(buffer.begin(), buffer.end(), 'z');
        EXPECT_EQ(FormatThroughList(buffer.data(), buffer.size(), "%s", c.text),
                  static_cast<int>(std::strlen(c.expected)));
        EXPECT_STREQ(buffer.data(), c.expected);
    }
}

TEST(FormatTextTest, ZeroSizedBufferIsLeftAlone) {
    char byte = 'z';
    EXPECT_EQ(FormatString(&byte, 0, "%s", "abc"), 0);
    EXPECT_EQ(FormatThroughList(&byte, 0, "%s", "abc"), 0);
    EXPECT_EQ(byte, 'z');
}

TEST(FormatTextTest, ShiftJisSafeLength) {
    EXPECT_EQ(ShiftJisSafeLength("", 0), 0u);
    EXPECT_EQ(ShiftJisSafeLength("ab", 2), 2u);
    EXPECT_EQ(ShiftJisSafeLength("a\x82", 2), 1u);
    EXPECT_EQ(ShiftJisSafeLength("a\x82\xA0", 3), 3u);
    EXPECT_EQ(ShiftJisSafeLength("\xE0\x81\x81", 3), 2u);
    EXPECT_EQ(ShiftJisSafeLength("\xFC\x40\xFD", 3), 3u);  // 0xFD is a one-byte character
}

}  // namespace
