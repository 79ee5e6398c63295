// The string, memory, maths, wide-arithmetic and list routines, mostly as
// tables of the cases where Shift-JIS, truncation or overflow can go wrong.
#include "framework/base/base_functions.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

// The bytes of a text and its terminator in a block of exactly that size, so
// that AddressSanitizer reports any read past the terminator.
std::vector<char> ExactString(const std::string& text) {
    return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

struct FindCase {
    const char* name;
    std::string text;
    int value;
    int expectedIndex;  // -1: not found
};

TEST(BaseFunctionsTest, FindCharStepsOverTwoByteCharacters) {
    const FindCase cases[] = {
        {"second byte is not a match", "\x83\x5C\x5C", 0x5C, 2},
        {"lead byte range E0-FC", "\xE0\x5C\xFC\x5C/", 0x5C, -1},
        {"slash after two-byte char", "\xE0\x2F/", '/', 2},
        {"0x80 is a one-byte char", "\x80\x5C", 0x5C, 1},
        {"0xFD is a one-byte char", "\xFD\x5C", 0x5C, 1},
        {"half-width katakana is one byte", "\xB1\x5C", 0x5C, 1},
        {"half-width katakana found by a negative char", "a\xB1", static_cast<char>(0xB1), 1},
        {"a lead byte is never found", "\x81\x81\x81\x81", 0x81, -1},
        {"terminator is never compared", "abc", 0, -1},
        {"first of several", "a.b.c", '.', 1},
        {"lone lead byte before the terminator", "ab\x83", 0x83, -1},
        {"lone lead byte, value not present", "ab\x83", 'x', -1},
        {"empty string", "", 'a', -1},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char> text = ExactString(c.text);
        const char* found = FindCharInMultiByteString(text.data(), c.value);
        if (c.expectedIndex < 0)
            EXPECT_EQ(found, nullptr);
        else
            EXPECT_EQ(found, text.data() + c.expectedIndex);
    }
}

TEST(BaseFunctionsTest, UpperCaseLeavesTwoByteCharactersAlone) {
    const std::pair<std::string, std::string> cases[] = {
        {"\x82" "a" "ab", "\x82" "a" "AB"},
        {"az{`@Z09", "AZ{`@Z09"},
        {"\xE0z" "z\xFCq", "\xE0z" "Z\xFCq"},
        {"\xB1" "b", "\xB1" "B"},
        {"ab\x83", "AB\x83"},  // lone lead byte: stop at the terminator
        {"", ""},
    };
    for (const auto& [input, expected] : cases) {
        std::vector<char> text = ExactString(input);
        UpperCaseMultiByteString(text.data());
        EXPECT_EQ(std::string(text.data()), expected) << input;
    }
}

TEST(BaseFunctionsTest, ComparisonsGiveZeroOrOneNeverASign) {
    EXPECT_EQ(CompareStrings("", ""), 0);
    EXPECT_EQ(CompareStrings("abc", "abc"), 0);
    EXPECT_EQ(CompareStrings("abc", "abd"), 1);
    EXPECT_EQ(CompareStrings("abd", "abc"), 1);
    EXPECT_EQ(CompareStrings("ab", "abc"), 1);
    EXPECT_EQ(CompareStrings("abc", "ab"), 1);

    // The prefix comparison reads exactly n bytes, terminators included.
    const char a[] = {'a', '\0', 'x'};
    const char b[] = {'a', '\0', 'y'};
    EXPECT_EQ(CompareStringPrefix(a, b, 0), 0);
    EXPECT_EQ(CompareStringPrefix(a, b, -1), 1);
    EXPECT_EQ(CompareStringPrefix(a, b, 2), 0);
    EXPECT_EQ(CompareStringPrefix(a, b, 3), 1);
    EXPECT_EQ(CompareStringPrefix("C:\\data\\x", "C:\\DATA", 7), 1);
    EXPECT_EQ(CompareStringPrefix("C:\\data\\x", "C:\\data", 7), 0);

    EXPECT_EQ(CompareMemoryBytes(nullptr, nullptr, 0), 0);
    EXPECT_EQ(CompareMemoryBytes("\x01\x02\xFF", "\x01\x02\xFF", 3), 0);
    EXPECT_EQ(CompareMemoryBytes("\x01\x02\xFF", "\x01\x02\x01", 3), 1);
    EXPECT_EQ(CompareMemoryBytes("\x01\x02\x01", "\x01\x02\xFF", 3), 1);
}

TEST(BaseFunctionsTest, CopyAndAppendIncludeTheTerminator) {
    char buffer[16];
    std::memset(buffer, 'z', sizeof buffer);
    CopyString(buffer, "\x83\x5C" "ab");
    EXPECT_EQ(std::memcmp(buffer, "\x83\x5C" "ab\0z", 6), 0);
    AppendString(buffer, "cd");
    EXPECT_EQ(std::memcmp(buffer, "\x83\x5C" "abcd\0z", 8), 0);
    AppendString(buffer, "");
    EXPECT_STREQ(buffer, "\x83\x5C" "abcd");
}

TEST(BaseFunctionsTest, MemoryBlocks) {
    unsigned char block[8];
    FillMemoryBytes(block, 0x1A5, sizeof block);  // only the low byte is stored
    for (unsigned char byte : block) EXPECT_EQ(byte, 0xA5);
    FillMemoryBytes(nullptr, 0, 0);
    CopyMemoryBytes(nullptr, nullptr, 0);
    MoveMemoryBytes(nullptr, nullptr, 0);

    const unsigned char source[4] = {1, 2, 3, 4};
    CopyMemoryBytes(block, source, 4);
    EXPECT_EQ(std::memcmp(block, source, 4), 0);

    // Overlap either way gives the source's old contents.
    unsigned char up[6] = {1, 2, 3, 4, 5, 6};
    MoveMemoryBytes(up + 1, up, 5);
    EXPECT_EQ(std::memcmp(up, "\x01\x01\x02\x03\x04\x05", 6), 0);
    unsigned char down[6] = {1, 2, 3, 4, 5, 6};
    MoveMemoryBytes(down, down + 2, 4);
    EXPECT_EQ(std::memcmp(down, "\x03\x04\x05\x06\x05\x06", 6), 0);
    MoveMemoryBytes(down, down, 6);
    EXPECT_EQ(std::memcmp(down, "\x03\x04\x05\x06\x05\x06", 6), 0);
}

TEST(BaseFunctionsTest, ConversionsTruncateTowardZero) {
    const int indefinite = INT_MIN;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        int expected;
    } doubles[] = {
        {2.9, 2},
        {-1.7, -1},
        {-0.9, 0},
        {3.0e9, indefinite},
        {-3.0e9, indefinite},
        {2147483647.9, 2147483647},
        {2147483648.0, indefinite},
        {-2147483648.9, INT_MIN},
        {-2147483649.0, indefinite},
        {nan, indefinite},
        {infinity, indefinite},
        {-infinity, indefinite},
    };
    for (const auto& c : doubles) {
        EXPECT_EQ(DoubleToInt(c.value), c.expected) << c.value;
        // A float keeps only the cases it can represent.
        const float f = static_cast<float>(c.value);
        if (static_cast<double>(f) == c.value || std::isnan(c.value) ||
            std::fabs(c.value) < 1.0e6) {
            EXPECT_EQ(FloatToInt(f), c.expected) << c.value;
        }
    }
    EXPECT_EQ(FloatToInt(2147483520.0f), 2147483520);  // the largest float below 2^31
    EXPECT_EQ(FloatToInt(2147483648.0f), indefinite);
    EXPECT_EQ(FloatToInt(-2147483648.0f), INT_MIN);

    const double rect[4] = {1.5, -2.5, 3.0e10, nan};
    int out[4];
    TruncateRectToInt(rect, out);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], -2);
    EXPECT_EQ(out[2], indefinite);
    EXPECT_EQ(out[3], indefinite);
}

TEST(BaseFunctionsTest, AbsoluteValues) {
    EXPECT_EQ(AbsInt(-5), 5);
    EXPECT_EQ(AbsInt(7), 7);
    EXPECT_EQ(AbsInt(INT_MIN), INT_MIN);
    EXPECT_EQ(AbsFloat(-2.5f), 2.5f);
    const float negativeZero = AbsFloat(-0.0f);
    EXPECT_EQ(negativeZero, 0.0f);
    EXPECT_TRUE(std::signbit(negativeZero));
    const float negativeNan = -std::numeric_limits<float>::quiet_NaN();
    const float kept = AbsFloat(negativeNan);
    EXPECT_TRUE(std::isnan(kept));
    EXPECT_EQ(std::memcmp(&kept, &negativeNan, sizeof kept), 0);
}

TEST(BaseFunctionsTest, SquareRootAndSineCosine) {
    EXPECT_EQ(SqrtFloat(2.0f), std::sqrt(2.0f));
    EXPECT_EQ(SqrtFloat(16.0f), 4.0f);
    EXPECT_TRUE(std::isnan(SqrtFloat(-1.0f)));
    EXPECT_TRUE(std::signbit(SqrtFloat(-0.0f)));

    float sine = 9.0f, cosine = 9.0f;
    SinCosFloat(0.0f, &sine, &cosine);
    EXPECT_EQ(sine, 0.0f);
    EXPECT_EQ(cosine, 1.0f);
    for (float angle : {0.5f, -1.25f, 3.14159265f, 100.0f}) {
        SinCosFloat(angle, &sine, &cosine);
        // Rounded once from extended precision: within half a float step of
        // the double-precision result.
        EXPECT_NEAR(sine, std::sin(static_cast<double>(angle)), 6.0e-8) << angle;
        EXPECT_NEAR(cosine, std::cos(static_cast<double>(angle)), 6.0e-8) << angle;
    }
}

TEST(BaseFunctionsTest, IntToStringRadix) {
    const struct {
        int value;
        int radix;
        const char* expected;
    } cases[] = {
        {255, 16, "ff"},
        {-10, 10, "-10"},
        {0, 2, "0"},
        {0, 10, "0"},
        {0, 36, "0"},
        {35, 36, "z"},
        {36, 36, "10"},
        {2147483647, 2, "1111111111111111111111111111111"},
        {2147483647, 10, "2147483647"},
        {INT_MIN, 10, "-2147483648"},
        {INT_MIN, 2, "-10000000000000000000000000000000"},
        {INT_MIN, 16, "-80000000"},
        // A radix without digits writes an empty text.
        {5, 1, ""},
        {5, 0, ""},
        {5, -2, ""},
        {5, 37, ""},
        {0, 1, ""},
    };
    for (const auto& c : cases) {
        char buffer[40];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(IntToStringRadix(c.value, buffer, c.radix), buffer);
        EXPECT_STREQ(buffer, c.expected) << c.value << " radix " << c.radix;
    }
}

unsigned __int128 ToWide(const uint32_t words[4]) {
    unsigned __int128 value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 32) | words[i];
    return value;
}

void FromWide(unsigned __int128 value, uint32_t words[4]) {
    for (int i = 0; i < 4; ++i) words[i] = static_cast<uint32_t>(value >> (32 * i));
}

TEST(BaseFunctionsTest, MultiplyAndDivideAgreeWithNativeWideArithmetic) {
    std::mt19937_64 random(20110101);
    // Operands of every width, so that carries and small quotients both occur.
    auto operand = [&random] {
        const int bits = static_cast<int>(random() % 65);
        return bits == 0 ? 0 : random() >> (64 - bits);
    };
    const uint64_t edges[] = {0, 1, 0xFFFFFFFF, 0x100000000, UINT64_MAX, UINT64_MAX - 1};
    for (int round = 0; round < 20000; ++round) {
        const uint64_t a = round < 36 ? edges[round % 6] : operand();
        const uint64_t b = round < 36 ? edges[round / 6] : operand();
        uint32_t product[4];
        Multiply64To128(&a, &b, product);
        ASSERT_TRUE(ToWide(product) == static_cast<unsigned __int128>(a) * b) << a << " x " << b;

        // Any 128-bit dividend, including those of 2^127 and above.
        uint32_t dividend[4];
        const unsigned __int128 wideDividend =
            (static_cast<unsigned __int128>(operand()) << 64) | operand();
        FromWide(round % 2 ? wideDividend : ToWide(product), dividend);
        const uint64_t divisor = round % 7 == 0 ? edges[1 + round % 5] : operand();
        if (divisor == 0) continue;
        uint64_t quotient = 12345;
        Divide128By64(dividend, &divisor, &quotient);
        ASSERT_EQ(quotient, static_cast<uint64_t>(ToWide(dividend) / divisor))
            << "round " << round;
    }
}

TEST(BaseFunctionsTest, DivideExamplesAndZeroDivisor) {
    const uint64_t million = 1000000, trillion = 1000000000000;
    uint32_t product[4];
    Multiply64To128(&trillion, &million, product);
    uint64_t quotient = 0;
    Divide128By64(product, &million, &quotient);
    EXPECT_EQ(quotient, trillion);

    const uint32_t five[4] = {5, 0, 0, 0};
    const uint64_t seven = 7;
    quotient = 99;
    Divide128By64(five, &seven, &quotient);
    EXPECT_EQ(quotient, 0u);

    const uint32_t large[4] = {1, 2, 3, 0x80000000};
    const uint64_t zero = 0;
    quotient = 99;
    Divide128By64(large, &zero, &quotient);
    EXPECT_EQ(quotient, 0u);
}

std::vector<HandleListNode*> WalkForward(HandleListNode* head) {
    std::vector<HandleListNode*> nodes;
    for (HandleListNode* node = head; node != nullptr; node = node->next) nodes.push_back(node);
    return nodes;
}

TEST(BaseFunctionsTest, ListAddsAfterTheGivenNodeAndRemoves) {
    HandleListNode head, tail, a, b, c;
    int recordA = 0, recordB = 0, recordC = 0;
    EXPECT_EQ(ListInit(&head, &tail), 0);
    EXPECT_EQ(head.ID, -1);
    EXPECT_EQ(tail.ID, -1);
    EXPECT_EQ(head.previous, nullptr);
    EXPECT_EQ(tail.next, nullptr);
    EXPECT_EQ(head.data, nullptr);
    EXPECT_EQ(tail.data, nullptr);

    EXPECT_EQ(ListAdd(&head, &a, 1, &recordA), 0);
    EXPECT_EQ(ListAdd(&head, &b, 2, &recordB), 0);
    EXPECT_EQ(WalkForward(&head), (std::vector<HandleListNode*>{&head, &b, &a, &tail}));
    EXPECT_EQ(b.ID, 2);
    EXPECT_EQ(b.data, &recordB);

    ListAdd(&a, &c, 3, &recordC);  // after a node in the middle
    EXPECT_EQ(WalkForward(&head), (std::vector<HandleListNode*>{&head, &b, &a, &c, &tail}));
    EXPECT_EQ(tail.previous, &c);
    EXPECT_EQ(c.previous, &a);

    EXPECT_EQ(ListRemove(&b), 0);
    EXPECT_EQ(WalkForward(&head), (std::vector<HandleListNode*>{&head, &a, &c, &tail}));
    EXPECT_EQ(a.previous, &head);
    // The removed node keeps its own links.
    EXPECT_EQ(b.previous, &head);
    EXPECT_EQ(b.next, &a);
    ListRemove(&c);
    EXPECT_EQ(WalkForward(&head), (std::vector<HandleListNode*>{&head, &a, &tail}));
    EXPECT_EQ(tail.previous, &a);
}

}  // namespace
