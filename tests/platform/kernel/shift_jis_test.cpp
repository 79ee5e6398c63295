// Shift-JIS text: which bytes open a two-byte character, and conversion to
// and from UTF-8, strict and lossy, at the edges of the encoding.
#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/shift_jis.h"

namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(ShiftJisTest, LeadBytesAreExactlyTheTwoRanges) {
    const struct {
        unsigned char byte;
        bool lead;
    } cases[] = {
        {0x00, false}, {0x5C, false}, {0x7F, false}, {0x80, false}, {0x81, true},  {0x9F, true},  {0xA0, false},
        {0xA1, false}, {0xDF, false}, {0xE0, true},  {0xEF, true},  {0xFC, true},  {0xFD, false}, {0xFF, false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::IsShiftJisLeadByte(c.byte), c.lead) << std::hex << int{c.byte};
}

struct Case {
    const char* name;
    std::string from;
    bool strictConverts;
    std::string to;  // the strict result when it converts, else the lossy one
};

TEST(ShiftJisTest, ShiftJisToUtf8) {
    const Case cases[] = {
        {"ASCII keeps its backslash and tilde", "a\\~", true, "a\\~"},
        {"first lead byte 0x81", "\x81\x40", true, Utf8(u8"\u3000")},
        {"last lead byte of the first range 0x9F", "\x9F\x40\x9F\xFC", true, Utf8(u8"檗滌")},
        {"first lead byte of the second range 0xE0", "\xE0\x40\xE0\xFC", true, Utf8(u8"漾珱")},
        {"last lead byte 0xFC", "\xFC\x40\xFC\x4B", true, Utf8(u8"髜黑")},
        {"a 0x5C trail byte is no backslash", "\x95\x5C\\", true, Utf8(u8"表\\")},
        {"half-width katakana are single bytes", "\xB1\xDF\xA1", true, Utf8(u8"ｱﾟ｡")},
        {"a lone lead byte at the end", "a\x81", false, "a?"},
        {"a trail byte that cannot follow leaves the byte after the lead", "\x81\x20x\x9F\x7F", false,
         "? x?\x7F"},
        {"a well-formed pair without a character is one", "\x85\x40z", false, "?z"},
        {"bytes that are neither characters nor lead bytes", "\x80\xA0\xFD\xFF.", false, "????."},
    };
    for (const Case& c : cases) {
        std::string strict;
        EXPECT_EQ(platform::ShiftJisToUtf8(c.from, strict), c.strictConverts) << c.name;
        if (c.strictConverts) {
            EXPECT_EQ(strict, c.to) << c.name;
        }
        EXPECT_EQ(platform::ShiftJisToUtf8Lossy(c.from), c.to) << c.name;
    }
}

// Every ASCII byte, the zero byte included, is itself in both encodings,
// strictly and lossily alike.
TEST(ShiftJisTest, AsciiIsTheSameBytesBothWays) {
    std::string ascii;
    for (int byte = 0; byte < 0x80; ++byte) ascii += static_cast<char>(byte);
    std::string converted;
    EXPECT_TRUE(platform::ShiftJisToUtf8(ascii, converted));
    EXPECT_EQ(converted, ascii);
    EXPECT_TRUE(platform::Utf8ToShiftJis(ascii, converted));
    EXPECT_EQ(converted, ascii);
    EXPECT_EQ(platform::ShiftJisToUtf8Lossy(ascii), ascii);
    EXPECT_EQ(platform::Utf8ToShiftJisLossy(ascii), ascii);
}

TEST(ShiftJisTest, Utf8ToShiftJis) {
    const Case cases[] = {
        {"two-byte characters at the lead byte boundaries", Utf8(u8"\u3000檗滌漾珱髜黑"), true,
         "\x81\x40\x9F\x40\x9F\xFC\xE0\x40\xE0\xFC\xFC\x40\xFC\x4B"},
        {"a character whose second byte is 0x5C", Utf8(u8"表\\"), true, "\x95\x5C\\"},
        {"half-width katakana", Utf8(u8"ｱﾟ｡"), true, "\xB1\xDF\xA1"},
        {"a character without a Shift-JIS form", Utf8(u8"a\U0001F600b"), false, "a?b"},
        {"a sequence cut short leaves the byte after it", "\xE3\x81" "a", false, "?a"},
        {"a stray continuation byte", "\x80" "a", false, "?a"},
        {"cut short at the end", "a\xE3\x81", false, "a?"},
    };
    for (const Case& c : cases) {
        std::string strict;
        EXPECT_EQ(platform::Utf8ToShiftJis(c.from, strict), c.strictConverts) << c.name;
        if (c.strictConverts) {
            EXPECT_EQ(strict, c.to) << c.name;
        }
        EXPECT_EQ(platform::Utf8ToShiftJisLossy(c.from), c.to) << c.name;
    }
}

}  // namespace
