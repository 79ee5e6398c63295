// Typing into a field through the buffer: insertion, the editing keys, the
// Shift selection, the clipboard, and ending the input.
#include "framework/graphics/screen/screen_image_access.h"
#include "framework/window/clipboard_text.h"
#include "platform/imm/input_method_feed.h"
#include "tests/framework/textinput/text_input_fixture.h"

namespace textinputtest {
namespace {

constexpr char Left = 0x1D, Right = 0x1C, Home = 0x1A, End = 0x19, Delete = 0x10, Backspace = 8;

struct EditCase {
    const char* name;
    FieldOptions field;
    std::string typed;
    std::string expected;
    int cursor;
};

// 一 is 0x88 0xEA: its trail byte lies in the lead-byte range.
const EditCase EditCases[] = {
    {"FullFieldDropsItsLastCharacter", {3, "abc", 0}, "x", "xab", 1},
    {"NothingFitsAFieldOfNoRoom", {0, ""}, "x", "", 0},
    {"NumericOnlyTakesDigitsALeadingMinusAndOnePoint", {10, "", -1, 1}, "-1-2.5.a漢", "-12.5", 5},
    {"SingleByteOnlyDropsTwoByteCharacters", {10, "", -1, 0, 1}, "a漢b", "ab", 2},
    {"BackspaceRemovesBothBytesOfATwoByteCharacter", {10, "a漢"}, {Backspace}, "a", 1},
    {"BackspaceNeverSplitsACharacterWhoseTrailLooksLikeALead", {10, "一a"}, {Backspace}, "一", 2},
    {"LeftStepsOverWholeCharacters", {10, "一a"}, {Left, Left, 'x'}, "x一a", 1},
    {"RightStepsOverATwoByteCharacter", {10, "漢a", 0}, {Right, 'x'}, "漢xa", 3},
    {"DeleteRemovesTheCharacterAtTheCursor", {10, "漢a", 0}, {Delete}, "a", 0},
    {"HomeAndEndMoveTheCursor", {10, "ab"}, {Home, 'x', End, 'y'}, "xaby", 4},
    {"TabUpAndDownDoNothing", {10, "ab"}, {9, 0x1E, 0x1F}, "ab", 2},
    {"PageCodesGoInLikeCharacters", {10, ""}, {0x15, 0x17}, "\x15\x17", 2},
    {"EscWithoutCancelAllowedDoesNothing", {10, ""}, "a\x1b" "b", "ab", 2},
};

void PrintTo(const EditCase& edit, std::ostream* out) { *out << edit.name; }

class EditTest : public TextInputTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditTest, GivesTheExpectedString) {
    const EditCase& edit = GetParam();
    const int handle = MakeField(edit.field);
    EXPECT_EQ(Type(edit.typed), 0);
    EXPECT_EQ(std::string(Field(handle).string), edit.expected);
    EXPECT_EQ(Field(handle).length, static_cast<int>(edit.expected.size()));
    EXPECT_EQ(Field(handle).cursor, edit.cursor);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditTest, ::testing::ValuesIn(EditCases),
                         [](const ::testing::TestParamInfo<EditCase>& info) { return info.param.name; });

TEST_F(TextInputTest, ShiftWithArrowsSelectsAndAnArrowWithoutShiftClears) {
    const int handle = MakeField({10, "a漢c", 0});
    KeyInputRecord& field = Field(handle);
    ShiftDown = true;
    Type({Right});
    EXPECT_EQ(field.selectionAnchor, 0);
    EXPECT_EQ(field.selectionEnd, 1);
    Type({Right});
    EXPECT_EQ(field.selectionAnchor, 0);
    EXPECT_EQ(field.selectionEnd, 3);
    EXPECT_EQ(field.cursor, 3);
    Type({Left});
    EXPECT_EQ(field.selectionEnd, 1);
    ShiftDown = false;
    Type({Right});
    EXPECT_EQ(field.selectionAnchor, -1);
    EXPECT_EQ(field.selectionEnd, -1);
    EXPECT_EQ(field.cursor, 3);

    // Typing over a selection replaces it.
    ShiftDown = true;
    Type({Home});
    ShiftDown = false;
    Type("x");
    EXPECT_STREQ(field.string, "xc");
    EXPECT_EQ(field.cursor, 1);
}

TEST_F(TextInputTest, EnterEndsTheInputAndLeavesTheRestInTheBuffer) {
    const int handle = MakeField();
    EXPECT_EQ(Type("ab\rcd"), 0);
    EXPECT_STREQ(Field(handle).string, "ab");
    EXPECT_EQ(Field(handle).ended, 1);
    EXPECT_EQ(Field(handle).cancelled, 0);
    EXPECT_EQ(Type(""), 0);  // an ended field takes nothing
    EXPECT_STREQ(Field(handle).string, "ab");
    char character[2];
    EXPECT_EQ(GetInputChar(character, 1), 1);
    EXPECT_EQ(character[0], 'c');
}

TEST_F(TextInputTest, EscCancelsWhenAllowed) {
    FieldOptions options;
    options.cancelAllowed = 1;
    const int handle = MakeField(options);
    Type("a\x1b");
    EXPECT_EQ(Field(handle).ended, 1);
    EXPECT_EQ(Field(handle).cancelled, 1);
}

TEST_F(TextInputTest, CopyCutAndPasteGoThroughTheClipboard) {
    ASSERT_NE(StartWindowMode(), nullptr);
    const int handle = MakeField({20, "hello", 0});
    KeyInputRecord& field = Field(handle);
    ShiftDown = true;
    Type({Right, Right});
    ShiftDown = false;
    Type({3});  // Ctrl+C
    char text[32] = {};
    ASSERT_EQ(GetClipboardText(text, sizeof(text)), 0);
    EXPECT_STREQ(text, "he");
    EXPECT_EQ(field.selectionEnd, 2);  // the selection stays

    Type({24});  // Ctrl+X
    EXPECT_STREQ(field.string, "llo");
    Type({End, 22});  // Ctrl+V
    EXPECT_STREQ(field.string, "llohe");

    // Shift+Delete cuts.
    ShiftDown = true;
    Type({Home});
    Type({Delete});
    ShiftDown = false;
    EXPECT_STREQ(field.string, "");
    ASSERT_EQ(GetClipboardText(text, sizeof(text)), 0);
    EXPECT_STREQ(text, "llohe");
}

TEST_F(TextInputTest, PastedTextRunsThroughTheBufferSoACarriageReturnEndsTheInput) {
    ASSERT_NE(StartWindowMode(), nullptr);
    SetClipboardText("12\r\n34");
    const int handle = MakeField();
    EXPECT_EQ(Type({22}), 0);
    EXPECT_STREQ(Field(handle).string, "12");
    EXPECT_EQ(Field(handle).ended, 1);
}

TEST_F(TextInputTest, AnInvalidActiveHandleFailsTheStep) {
    const int handle = MakeField();
    const int other = MakeField();
    ASSERT_EQ(DeleteKeyInput(handle), 0);
    EXPECT_EQ(DeleteKeyInput(handle), -1);
    TextInput.activeHandle = handle;
    EXPECT_EQ(ProcessKeyInput(), -1);
    // A handle with the right slot but another check value is refused too.
    TextInput.activeHandle = other ^ 0x00010000;
    EXPECT_EQ(ProcessKeyInput(), -1);
    TextInput.activeHandle = -1;
    EXPECT_EQ(ProcessKeyInput(), 0);
}

TEST_F(TextInputTest, DeletingTheLastFieldSwitchesTheInputMethodOff) {
    const int first = MakeField();
    const int second = MakeField();
    ASSERT_TRUE(platform::InputMethodEnabled());
    EXPECT_EQ(DeleteKeyInput(first), 0);
    EXPECT_TRUE(platform::InputMethodEnabled());
    EXPECT_EQ(TextInput.activeHandle, second);
    EXPECT_EQ(DeleteKeyInput(second), 0);
    EXPECT_FALSE(platform::InputMethodEnabled());
    EXPECT_EQ(TextInput.activeHandle, -1);
    EXPECT_EQ(TextInput.imeEnabled, 0);
}

TEST_F(TextInputTest, StartUpWritesItsLinesAndTheDefaultColours) {
    const size_t mark = LogText().size();
    EXPECT_EQ(StartTextInput(), 0);
    EXPECT_EQ(LinesSince(mark), "文字コードバッファの初期化を行います... 完了しました\r\n");
    EXPECT_EQ(TextInput.activeHandle, -1);
    EXPECT_EQ(TextInput.blinkPeriod, 500);
    EXPECT_EQ(TextInput.cursorVisible, 1);
    EXPECT_EQ(TextInput.colors[0], MakeScreenColorCode(255, 255, 255));
    EXPECT_EQ(TextInput.colors[6], MakeScreenColorCode(255, 255, 20));
    EXPECT_EQ(TextInput.colors[10], TextInput.colors[2]);
    EXPECT_EQ(TextInput.colors[14], MakeScreenColorCode(128, 128, 128));
}

}  // namespace
}  // namespace textinputtest
