// The input method's messages through the window procedure: compositions and
// their results, the bounded reads, candidate lists, the open status, the
// reopen sequence and the composition limits.
#include <cinttypes>
#include <cstdio>

#include "platform/imm/imm.h"
#include "platform/imm/input_method_feed.h"
#include "tests/framework/textinput/text_input_fixture.h"

namespace textinputtest {
namespace {

class ImeMessageTest : public TextInputTest {
protected:
    void SetUp() override {
        TextInputTest::SetUp();
        window_ = StartWindowMode();
        ASSERT_NE(window_, nullptr);
        SetImeEnabled(1);
        PumpUntilQuiet();
    }

    // The window's context, opened.
    HIMC OpenContext() {
        HIMC context = ImmGetContext(window_);
        ImmSetOpenStatus(context, TRUE);
        ImmReleaseContext(window_, context);
        return context;
    }

    HWND window_ = nullptr;
};

TEST_F(ImeMessageTest, ACompositionAndItsResultReachTheFieldAsShiftJis) {
    const int handle = MakeField();
    ASSERT_TRUE(platform::ShowComposition(window_, "かんじ", 4));
    EXPECT_EQ(TextInput.composing, 1);
    EXPECT_STREQ(TextInput.composition, "かんじ");
    EXPECT_EQ(TextInput.compositionCursor, 2);
    EXPECT_EQ(TextInput.clauseCount, 2);
    ASSERT_TRUE(platform::CommitComposition(window_, "漢字"));
    EXPECT_EQ(TextInput.composing, 0);
    EXPECT_STREQ(TextInput.composition, "");
    PumpUntilQuiet();
    EXPECT_STREQ(Field(handle).string, "漢字");
    EXPECT_EQ(platform::ViewInputContext(window_).takenCount, 0);
}

TEST_F(ImeMessageTest, CompositionReadsStopAt1023BytesAndAreTerminated) {
    HIMC context = OpenContext();
    const std::string longText(1100, 'a');
    ASSERT_TRUE(ImmSetCompositionStringA(context, SCS_SETSTR, longText.data(), 1100, nullptr, 0));
    std::memset(TextInput.composition, 'z', sizeof(TextInput.composition));
    SendMessageA(window_, WM_IME_COMPOSITION, 0, GCS_COMPSTR);
    EXPECT_EQ(std::strlen(TextInput.composition), 1023u);

    // A two-byte character across the 1023rd byte is left out whole.
    const std::string straddling = std::string(1022, 'a') + "漢";
    ASSERT_TRUE(ImmSetCompositionStringA(context, SCS_SETSTR, straddling.data(), 1024, nullptr, 0));
    SendMessageA(window_, WM_IME_COMPOSITION, 0, GCS_COMPSTR);
    EXPECT_EQ(std::string(TextInput.composition), std::string(1022, 'a'));
}

TEST_F(ImeMessageTest, TheCandidateListIsKeptUntilItCloses) {
    platform::ShowComposition(window_, "かん", 4);
    ASSERT_TRUE(platform::ShowCandidates(window_, {"漢", "感", "缶"}, 1));
    ASSERT_NE(TextInput.candidateList, nullptr);
    const auto* list = static_cast<const CANDIDATELIST*>(TextInput.candidateList);
    EXPECT_EQ(static_cast<int>(list->dwSize), TextInput.candidateListSize);
    EXPECT_EQ(list->dwCount, 3u);
    EXPECT_EQ(list->dwSelection, 1u);
    EXPECT_STREQ(reinterpret_cast<const char*>(list) + list->dwOffset[2], "缶");
    ASSERT_TRUE(platform::ShowCandidates(window_, {}, 0));
    EXPECT_EQ(TextInput.candidateList, nullptr);
    EXPECT_EQ(TextInput.candidateListSize, 0);
}

TEST_F(ImeMessageTest, AnEmptyCandidateListIsLogged) {
    const size_t mark = LogText().size();
    HIMC context = ImmGetContext(window_);
    ImmReleaseContext(window_, context);
    EXPECT_EQ(SendMessageA(window_, WM_IME_NOTIFY, IMN_OPENCANDIDATE, 0), 0);
    char expected[128];
    std::snprintf(expected, sizeof(expected), "漢字変換候補のデータサイズが０でした  DefHWND:%" PRIxPTR " IMC:%" PRIxPTR "\r\n",
                  reinterpret_cast<uintptr_t>(window_), reinterpret_cast<uintptr_t>(context));
    EXPECT_EQ(LinesSince(mark), expected);
    EXPECT_EQ(TextInput.candidateList, nullptr);
}

TEST_F(ImeMessageTest, TheOpenStatusIsReadWhenItChanges) {
    OpenContext();
    PumpUntilQuiet();
    EXPECT_EQ(GetImeOpenState(), 1);
    HIMC context = ImmGetContext(window_);
    ImmSetOpenStatus(context, FALSE);
    ImmReleaseContext(window_, context);
    PumpUntilQuiet();
    EXPECT_EQ(GetImeOpenState(), 0);
}

TEST_F(ImeMessageTest, TheReopenSequenceKeepsTheComposition) {
    platform::ShowComposition(window_, "かな", 4);
    StartImeReopen();
    EXPECT_EQ(ProcessKeyInput(), 0);
    EXPECT_EQ(TextInput.reopenStep, 0);
    const platform::InputContextView view = platform::ViewInputContext(window_);
    EXPECT_TRUE(view.open);
    EXPECT_EQ(view.composition, "かな");
    EXPECT_STREQ(TextInput.savedComposition, "かな");
    EXPECT_EQ(view.takenCount, 0);
}

struct LimitCase {
    const char* name;
    int roomFlag;
    int maxComposition;
    std::string expected;
};

void PrintTo(const LimitCase& limit, std::ostream* out) { *out << limit.name; }

class CompositionLimitTest : public ImeMessageTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(CompositionLimitTest, CutsTheCompositionAtAWholeCharacter) {
    const LimitCase& limit = GetParam();
    MakeField({5, "abc"});
    platform::ShowComposition(window_, "あいう", 6);
    TextInput.limitToFieldRoom = limit.roomFlag;
    TextInput.maxCompositionLength = limit.maxComposition;
    EXPECT_EQ(ProcessKeyInput(), 0);
    EXPECT_EQ(platform::ViewInputContext(window_).composition, limit.expected);
}

const LimitCase LimitCases[] = {
    {"NoLimitLeavesIt", 0, 0, "あいう"},
    {"RoomInTheField", 1, 0, "あ"},
    {"OddMaximumDropsTheStraddlingCharacter", 0, 5, "あい"},
    {"TheSmallerOfBoth", 1, 4, "あ"},
};

INSTANTIATE_TEST_SUITE_P(Cases, CompositionLimitTest, ::testing::ValuesIn(LimitCases),
                         [](const ::testing::TestParamInfo<LimitCase>& info) { return info.param.name; });

TEST_F(ImeMessageTest, SwitchingTheInputMethodOffDropsTheComposition) {
    platform::ShowComposition(window_, "かん", 4);
    platform::ShowCandidates(window_, {"漢"}, 0);
    EXPECT_EQ(SetImeEnabled(0), 0);
    EXPECT_FALSE(platform::InputMethodEnabled());
    EXPECT_EQ(TextInput.candidateList, nullptr);
    EXPECT_EQ(TextInput.composing, 0);
    EXPECT_STREQ(TextInput.composition, "");
    // Further compositions do not reach a disabled input method.
    EXPECT_FALSE(platform::ShowComposition(window_, "か", 2));
}

}  // namespace
}  // namespace textinputtest
