// Input contexts: the reads of the composition with their sizes and cuts, the
// candidate block, the open status and its notification, and the messages
// the host's composition sends.
#include <cstring>
#include <vector>

#include "platform/imm/imm.h"
#include "platform/imm/input_method_feed.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace {

std::vector<MSG> Seen;

LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_COMPOSITION) Seen.push_back(MSG{window, message, wParam, lParam, 0, {}});
    if (message == WM_IME_NOTIFY) Seen.push_back(MSG{window, message, wParam, lParam, 0, {}});
    return DefWindowProcA(window, message, wParam, lParam);
}

class InputContextTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        Seen.clear();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = Recorder;
        windowClass.lpszClassName = "ImeTestClass";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window_ = CreateWindowExA(0, "ImeTestClass", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(window_, nullptr);
        context_ = ImmGetContext(window_);
        ASSERT_NE(context_, nullptr);
    }

    void Drain() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }

    HWND window_ = nullptr;
    HIMC context_ = nullptr;
};

TEST_F(InputContextTest, CompositionReadsGiveSizesAndNeverSplitACharacter) {
    EXPECT_EQ(ImmGetContext(window_), context_);  // one context per window
    EXPECT_TRUE(ImmReleaseContext(window_, context_));
    EXPECT_EQ(ImmGetContext(nullptr), nullptr);
    ASSERT_TRUE(platform::ShowComposition(window_, "a漢字", 3));
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_COMPSTR, nullptr, 0), 5);
    char buffer[8] = {};
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_COMPSTR, buffer, 4), 3);
    EXPECT_EQ(std::string(buffer, 3), "a漢");
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_CURSORPOS, nullptr, 0), 3);
    DWORD clauses[2] = {};
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_COMPCLAUSE, clauses, sizeof(clauses)), 8);
    EXPECT_EQ(clauses[1], 5u);
    EXPECT_EQ(ImmGetCompositionStringA(context_, 0x4000, buffer, 8), IMM_ERROR_GENERAL);
    EXPECT_EQ(ImmGetCompositionStringA(nullptr, GCS_COMPSTR, buffer, 8), IMM_ERROR_GENERAL);
}

TEST_F(InputContextTest, TheHostsCompositionSendsItsMessagesInOrder) {
    ASSERT_TRUE(platform::ShowComposition(window_, "か", 2));
    ASSERT_TRUE(platform::ShowComposition(window_, "かん", 4));
    ASSERT_TRUE(platform::CommitComposition(window_, "缶"));
    EXPECT_FALSE(platform::CommitComposition(window_, "x"));  // no composition: typed text
    Drain();
    const std::vector<std::pair<UINT, LPARAM>> expected = {
        {WM_IME_STARTCOMPOSITION, 0},
        {WM_IME_COMPOSITION, GCS_COMPSTR | GCS_CURSORPOS | GCS_COMPCLAUSE},
        {WM_IME_COMPOSITION, GCS_COMPSTR | GCS_CURSORPOS | GCS_COMPCLAUSE},
        {WM_IME_COMPOSITION, GCS_RESULTSTR | GCS_COMPSTR},
        {WM_IME_ENDCOMPOSITION, 0},
        {WM_IME_NOTIFY, 0},  // the open status, posted
    };
    ASSERT_EQ(Seen.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Seen[i].message, expected[i].first) << i;
        EXPECT_EQ(Seen[i].lParam, expected[i].second) << i;
    }
    EXPECT_EQ(Seen.back().wParam, IMN_SETOPENSTATUS);
    char buffer[8] = {};
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_RESULTSTR, buffer, sizeof(buffer)), 2);
    EXPECT_EQ(std::string(buffer, 2), "缶");
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_COMPSTR, nullptr, 0), 0);
}

TEST_F(InputContextTest, SettingAndCancellingTheCompositionNeedAnOpenContext) {
    EXPECT_FALSE(ImmGetOpenStatus(context_));
    EXPECT_FALSE(ImmSetCompositionStringA(context_, SCS_SETSTR, "ab", 2, nullptr, 0));
    EXPECT_TRUE(ImmSetOpenStatus(context_, TRUE));
    EXPECT_TRUE(ImmSetCompositionStringA(context_, SCS_SETSTR, "ab", 2, nullptr, 0));
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_COMPSTR, nullptr, 0), 2);
    EXPECT_FALSE(ImmNotifyIME(context_, NI_COMPOSITIONSTR, 1, 0));
    EXPECT_TRUE(ImmNotifyIME(context_, NI_COMPOSITIONSTR, CPS_CANCEL, 0));
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_COMPSTR, nullptr, 0), 0);
    EXPECT_TRUE(ImmSetOpenStatus(context_, TRUE));  // unchanged: no second notice
    Drain();
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].wParam, IMN_SETOPENSTATUS);
}

TEST_F(InputContextTest, TheCandidateListIsOneBlockThatMustFit) {
    EXPECT_EQ(ImmGetCandidateListA(context_, 0, nullptr, 0), 0u);
    ASSERT_TRUE(platform::ShowCandidates(window_, {"漢", "感"}, 5));
    const DWORD size = ImmGetCandidateListA(context_, 0, nullptr, 0);
    ASSERT_GT(size, sizeof(CANDIDATELIST));
    std::vector<BYTE> block(size);
    auto* list = reinterpret_cast<CANDIDATELIST*>(block.data());
    EXPECT_EQ(ImmGetCandidateListA(context_, 0, list, size - 1), 0u);
    EXPECT_EQ(ImmGetCandidateListA(context_, 1, list, size), 0u);
    ASSERT_EQ(ImmGetCandidateListA(context_, 0, list, size), size);
    EXPECT_EQ(list->dwSize, size);
    EXPECT_EQ(list->dwCount, 2u);
    EXPECT_EQ(list->dwSelection, 1u);  // kept inside the list
    EXPECT_STREQ(reinterpret_cast<const char*>(block.data() + list->dwOffset[0]), "漢");
    EXPECT_STREQ(reinterpret_cast<const char*>(block.data() + list->dwOffset[1]), "感");
    ASSERT_TRUE(platform::ShowCandidates(window_, {"缶"}, 0));
    ASSERT_TRUE(platform::ShowCandidates(window_, {}, 0));
    std::vector<WPARAM> notices;
    for (const MSG& seen : Seen) notices.push_back(seen.wParam);
    EXPECT_EQ(notices, (std::vector<WPARAM>{IMN_OPENCANDIDATE, IMN_CHANGECANDIDATE, IMN_CLOSECANDIDATE}));
}

TEST_F(InputContextTest, ADisabledInputMethodTakesNothingFromTheHost) {
    WINNLSEnableIME(window_, FALSE);
    EXPECT_FALSE(platform::ShowComposition(window_, "か", 2));
    EXPECT_FALSE(platform::ShowCandidates(window_, {"か"}, 0));
    EXPECT_TRUE(Seen.empty());
}

}  // namespace
