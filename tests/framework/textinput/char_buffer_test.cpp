// The character buffer: its capacity and a two-byte character whose bytes
// arrive apart.
#include "tests/framework/textinput/text_input_fixture.h"

namespace textinputtest {
namespace {

TEST_F(TextInputTest, TheBufferHolds1024BytesAndRefusesTheNext) {
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(PutInputChar('a' + i % 26), 0) << i;
    EXPECT_EQ(IsInputCharBufferFull(), 1);
    EXPECT_EQ(PutInputChar('z'), -1);
    char character[2];
    for (int i = 0; i < 1024; ++i) {
        ASSERT_EQ(GetInputChar(character, 1), 1);
        ASSERT_EQ(character[0], 'a' + i % 26);
    }
    EXPECT_EQ(GetInputChar(character, 1), 0);
}

TEST_F(TextInputTest, ALeadByteWaitsForItsTrailByteAcrossTheWrap) {
    // Move the indices to the end of the slots, so that the character wraps.
    char character[2];
    for (int i = 0; i < InputCharBufferSlots - 1; ++i) {
        PutInputChar('x');
        GetInputChar(character, 1);
    }
    const std::string kanji = "漢";
    ASSERT_EQ(PutInputChar(static_cast<unsigned char>(kanji[0])), 0);
    EXPECT_EQ(GetInputChar(character, 1), 0);
    EXPECT_EQ(character[0], 0);
    ASSERT_EQ(PutInputChar(static_cast<unsigned char>(kanji[1])), 0);
    EXPECT_EQ(GetInputChar(character, 0), 2);  // looked at, left in place
    EXPECT_EQ(GetInputChar(character, 1), 2);
    EXPECT_EQ(std::string(character, 2), kanji);
    EXPECT_EQ(GetInputChar(character, 1), 0);
}

TEST_F(TextInputTest, ControlCodesAreSingleBytesEvenInTheLeadByteRange) {
    // 0x1D (left) and 0x1C (right) are below the lead bytes anyway; a code
    // from the table is never paired with what follows it.
    PutInputChar(0x1D);
    PutInputChar(0x82);
    char character[2];
    EXPECT_EQ(GetInputChar(character, 1), 1);
    EXPECT_EQ(IsInputControlCode(0x1D), 1);
    EXPECT_EQ(IsInputControlCode('a'), 0);
    EXPECT_EQ(GetInputChar(character, 1), 0);  // the lone lead byte waits
}

}  // namespace
}  // namespace textinputtest
