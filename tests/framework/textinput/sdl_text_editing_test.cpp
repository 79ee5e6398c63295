// Typing through the host's input method under the offscreen video driver:
// SDL2's text-editing and text-input events become the composition, its
// result and typed characters, and reach the field as Shift-JIS.
#include <cstdlib>

#include "platform/host/sdl_host.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/textinput/text_input_fixture.h"

namespace textinputtest {
namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class SdlTextEditingTest : public TextInputTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        TextInputTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Automatic;
        ASSERT_TRUE(platform::host::DisplayAvailable());
    }
};

TEST_F(SdlTextEditingTest, ACompositionTypedOnTheHostReachesTheFieldAsShiftJis) {
    HWND window = StartWindowMode();
    ASSERT_NE(window, nullptr);
    PumpUntilQuiet();
    SetImeEnabled(1);
    const int handle = MakeField();

    ASSERT_TRUE(platform::host::PushTextEditingEvent(window, Utf8(u8"かんじ"), 2, 0));
    PumpUntilQuiet();
    EXPECT_EQ(TextInput.composing, 1);
    EXPECT_STREQ(TextInput.composition, "かんじ");
    EXPECT_EQ(TextInput.compositionCursor, 2);
    EXPECT_STREQ(Field(handle).string, "");  // nothing is typed while composing

    ASSERT_TRUE(platform::host::PushTextInputEvent(window, Utf8(u8"漢字")));
    PumpUntilQuiet();
    EXPECT_EQ(TextInput.composing, 0);
    EXPECT_STREQ(Field(handle).string, "漢字");

    // Committed text without a composition is typed characters.
    ASSERT_TRUE(platform::host::PushTextInputEvent(window, Utf8(u8"ｱa")));
    PumpUntilQuiet();
    EXPECT_STREQ(Field(handle).string, "漢字ｱa");
}

TEST_F(SdlTextEditingTest, AnEmptyEditingTextCancelsTheComposition) {
    HWND window = StartWindowMode();
    ASSERT_NE(window, nullptr);
    SetImeEnabled(1);
    const int handle = MakeField();
    ASSERT_TRUE(platform::host::PushTextEditingEvent(window, Utf8(u8"か"), 1, 0));
    ASSERT_TRUE(platform::host::PushTextEditingEvent(window, "", 0, 0));
    PumpUntilQuiet();
    EXPECT_EQ(TextInput.composing, 0);
    EXPECT_STREQ(TextInput.composition, "");
    EXPECT_STREQ(Field(handle).string, "");
}

}  // namespace
}  // namespace textinputtest
