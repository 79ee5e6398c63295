// Starting and ending input: which DirectInput version is taken, the path
// without DirectInput and that it is remembered, the log lines and their
// depth, the joypads found, and the fatal and failing set-ups.
#include <ostream>
#include <string>

#include "platform/profile/machine_profile.h"
#include "tests/framework/input/input_fixture.h"

namespace inputtest {
namespace {

struct VersionCase {
    const char* name;
    bool directInput7;
    bool directInput8;
    bool failInitialize7;
    int expectedVersion8;  // -1: no DirectInput
    const char* log;
};
// Cases print as their names, so test names are the same in every run.
inline void PrintTo(const VersionCase& c, std::ostream* out) { *out << c.name; }

const VersionCase kVersionCases[] = {
    {"Version7", true, true, false, 0,
     "DirectInput関係初期化処理\r\n"
     "\tDirectInput7 の取得中... 成功\r\n"
     "\t\t引き続き初期化処理... 初期化成功\r\n"
     "\tジョイパッドの初期化... \r\n"
     "\tジョイパッドの初期化は正常に終了しました\r\n"
     "\tマウスデバイスの初期化... 初期化成功\r\n"
     "\tキーボードデバイスの初期化... 初期化成功\r\n"
     "DirectInput 関連の初期化は正常に終了しました\r\n"},
    {"OnlyVersion8", false, true, false, 1,
     "DirectInput関係初期化処理\r\n"
     "\tDirectInput7 の取得中... 取得に失敗。\r\n"
     "\tエラーコード 0x80040154\r\n"
     "\r\n"  // the format's own line feed and the writer's
     "\tDirectInput8 の取得を試みます...成功\r\n"
     "\t\t引き続き初期化処理... 初期化成功\r\n"
     "\tジョイパッドの初期化... \r\n"
     "\tジョイパッドの初期化は正常に終了しました\r\n"
     "\tマウスデバイスの初期化... 初期化成功\r\n"
     "\tキーボードデバイスの初期化... 初期化成功\r\n"
     "DirectInput 関連の初期化は正常に終了しました\r\n"},
    {"Version7FailsToInitialise", true, true, true, 1,
     "DirectInput関係初期化処理\r\n"
     "\tDirectInput7 の取得中... 成功\r\n"
     "\t\t引き続き初期化処理... 初期化に失敗。DirectInput8 の取得を試みます...成功\r\n"
     "\t\t引き続き初期化処理... 初期化成功\r\n"
     "\tジョイパッドの初期化... \r\n"
     "\tジョイパッドの初期化は正常に終了しました\r\n"
     "\tマウスデバイスの初期化... 初期化成功\r\n"
     "\tキーボードデバイスの初期化... 初期化成功\r\n"
     "DirectInput 関連の初期化は正常に終了しました\r\n"},
    {"Neither", false, false, false, -1,
     "DirectInput関係初期化処理\r\n"
     "\tDirectInput7 の取得中... 取得に失敗。\r\n"
     "\tエラーコード 0x80040154\r\n"
     "\r\n"  // the format's own line feed and the writer's
     "\tDirectInput8 の取得を試みます...取得に失敗。DirectInput を使用しません。\r\n"
     "\tパッドの数は 0 個です\r\n"
     "\r\n"
     "入力関連の初期化をしました\r\n"},
};

class InputVersionTest : public InputTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(InputVersionTest, TakesTheFirstVersionThatCanBeHadAndLogsEachStep) {
    const VersionCase& c = GetParam();
    platform::Profile().input.directInput7 = c.directInput7;
    platform::Profile().input.directInput8 = c.directInput8;
    platform::Profile().failures.input.initialize7 = c.failInitialize7;
    EXPECT_EQ(StartWithWindow(), c.log);
    EXPECT_EQ(LogIndentDepth, 0);
    ASSERT_TRUE(IsInputStarted());
    if (c.expectedVersion8 < 0) {
        EXPECT_EQ(InputDeviceState.noDirectInput, 1);
        EXPECT_EQ(InputDeviceState.directInput, InputWithoutDirectInput);
        EXPECT_EQ(InputDeviceState.padCount, 16);
        EXPECT_EQ(InputDeviceState.keyboardDevice, nullptr);
    } else {
        EXPECT_EQ(InputDeviceState.directInput8, c.expectedVersion8);
        EXPECT_NE(InputDeviceState.keyboardDevice, nullptr);
        EXPECT_NE(InputDeviceState.mouseDevice, nullptr);
        EXPECT_EQ(InputDeviceState.padCount, 0);
    }
    EXPECT_EQ(InputDeviceState.startInProgress, 0);
    // A second start changes nothing.
    const size_t mark = LogText().size();
    EXPECT_EQ(StartInputDevices(), 0);
    EXPECT_EQ(LinesSince(mark), "");
}

INSTANTIATE_TEST_SUITE_P(Versions, InputVersionTest, ::testing::ValuesIn(kVersionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InputTest, WithoutDirectInputOnceEveryLaterStartGoesStraightToTheJoystickCalls) {
    platform::Profile().input.directInput7 = false;
    platform::Profile().input.directInput8 = false;
    AddPads(2);
    platform::Profile().input.virtualPads[1].axes = 2;  // no Z and no R
    StartWithWindow();
    EXPECT_EQ(InputDeviceState.pads[0].hasZAndR, 1);
    EXPECT_EQ(InputDeviceState.pads[1].hasZAndR, 0);

    size_t mark = LogText().size();
    EXPECT_EQ(EndInputDevices(), 0);
    EXPECT_EQ(LinesSince(mark), "入力関連の終了処理... 完了\r\n");
    EXPECT_FALSE(IsInputStarted());

    // Both versions are back, but the process has given DirectInput up.
    platform::Profile().input.directInput7 = true;
    platform::Profile().input.directInput8 = true;
    mark = LogText().size();
    EXPECT_EQ(StartInputDevices(), 0);
    EXPECT_EQ(LinesSince(mark), "\tパッドの数は 2 個です\r\n\r\n入力関連の初期化をしました\r\n");
    EXPECT_EQ(InputDeviceState.directInput, InputWithoutDirectInput);
}

TEST_F(InputTest, EndingWithDirectInputReleasesEverythingAndLogsOnce) {
    AddPads(1);
    StartWithWindow();
    ASSERT_EQ(InputDeviceState.padCount, 1);
    const size_t mark = LogText().size();
    EXPECT_EQ(EndInputDevices(), 0);
    EXPECT_EQ(LinesSince(mark), "DirectInput 関連の終了処理... 完了\r\n");
    EXPECT_FALSE(IsInputStarted());
    EXPECT_EQ(InputDeviceState.keyboardDevice, nullptr);
    EXPECT_EQ(InputDeviceState.mouseDevice, nullptr);
    EXPECT_EQ(InputDeviceState.padCount, 0);
    EXPECT_EQ(InputDeviceState.pads[0].device, nullptr);
    EXPECT_EQ(EndInputDevices(), 0);
}

TEST_F(InputTest, SeventeenPadsGiveSixteenAndTheEnumerationStops) {
    AddPads(17);
    const std::string log = StartWithWindow();
    EXPECT_EQ(InputDeviceState.padCount, 16);
    EXPECT_STREQ(InputDeviceState.pads[0].instanceName, "Pad 1");
    EXPECT_STREQ(InputDeviceState.pads[15].productName, "Pad 16");
    size_t found = 0;
    for (size_t at = log.find("入力装置を見つけました"); at != std::string::npos;
         at = log.find("入力装置を見つけました", at + 1))
        ++found;
    EXPECT_EQ(found, 16u);
    EXPECT_NE(log.find("\t\tデバイスの登録名:Pad 16\r\n\t\tデバイスの製品登録名:Pad 16\r\n"), std::string::npos)
        << log;
    EXPECT_EQ(LogIndentDepth, 0);
}

TEST_F(InputTest, PadsAreKeptWithoutForceFeedbackOrZAndRButNotWithoutY) {
    platform::VirtualPad plain;
    plain.forceFeedback = false;
    plain.axes = 2;
    platform::VirtualPad oneAxis;
    oneAxis.axes = 1;
    platform::VirtualPad shaking;
    platform::Profile().input.virtualPads = {plain, oneAxis, shaking};
    const std::string log = StartWithWindow();
    ASSERT_EQ(InputDeviceState.padCount, 2);
    EXPECT_EQ(InputDeviceState.pads[0].constantForceEffect, nullptr);
    EXPECT_EQ(InputDeviceState.pads[0].sineEffect, nullptr);
    EXPECT_NE(InputDeviceState.pads[1].constantForceEffect, nullptr);
    EXPECT_NE(InputDeviceState.pads[1].sineEffect, nullptr);
    EXPECT_EQ(InputDeviceState.pads[1].vibrationPower, 10000);
    EXPECT_NE(log.find("周期的エフェクトの作成に失敗しました。\r\n"), std::string::npos);
    EXPECT_NE(log.find("ジョイパッドデバイスのＹ軸関係の設定に失敗しました\r\n"), std::string::npos);
    // The pad left out leaves no trace behind the pads in use.
    EXPECT_EQ(InputDeviceState.pads[2].device, nullptr);
}

class InputFatalTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        testsupport::InterceptExitProcess();
    }
};

struct FatalCase {
    bool platform::InputFailures::*failure;
    const char* text;
};

TEST_F(InputFatalTest, AMouseOrKeyboardThatCannotBeSetUpEndsTheProcess) {
    const FatalCase cases[] = {
        {&platform::InputFailures::createMouse, "マウスデバイスの取得に失敗しました"},
        {&platform::InputFailures::mouseDataFormat, "マウスデバイスのデータ形式の設定に失敗しました"},
        {&platform::InputFailures::mouseCooperativeLevel, "マウスデバイスの協調レベルの設定に失敗しました"},
        {&platform::InputFailures::createKeyboard, "キーボードデバイスの取得に失敗しました"},
        {&platform::InputFailures::keyboardDataFormat, "キーボードデバイスのデータ形式の設定に失敗しました"},
        {&platform::InputFailures::keyboardCooperativeLevel, "キーボードデバイスの協調レベルの設定に失敗しました"},
        {&platform::InputFailures::keyboardAcquire, "キーボードデバイスの取得に失敗しました"},
    };
    for (const FatalCase& c : cases) {
        SCOPED_TRACE(c.text);
        ResetInput();
        AddPads(1);
        platform::Profile().failures.input.*c.failure = true;
        if (GetMainWindowHandle() == nullptr) StartWindowMode();
        const size_t mark = LogText().size();
        long long code = -2;
        try {
            StartInputDevices();
        } catch (const testsupport::ProcessExited& exited) {
            code = exited.exitCode;
        }
        EXPECT_EQ(code, 0xFFFFFFFFll);
        EXPECT_NE(LinesSince(mark).find(std::string(c.text) + "\r\n"), std::string::npos);
        EXPECT_FALSE(IsInputStarted());
        EXPECT_EQ(InputDeviceState.startInProgress, 0);
        EXPECT_EQ(InputDeviceState.mouseDevice, nullptr);
        EXPECT_EQ(InputDeviceState.keyboardDevice, nullptr);
        EXPECT_EQ(InputDeviceState.padCount, 0);
        LogIndentDepth = 0;
    }
}

TEST_F(InputTest, AKeyboardWithoutChangeNotificationFailsTheStartButStaysHeld) {
    platform::Profile().failures.input.keyboardEventNotification = true;
    StartWindowMode();
    const size_t mark = LogText().size();
    EXPECT_EQ(StartInputDevices(), -1);
    EXPECT_NE(LinesSince(mark).find("\tキーボードデバイスの初期化... キーボードイベントのセットアップが失敗しました\r\n"), std::string::npos);
    EXPECT_TRUE(IsInputStarted());
    EXPECT_NE(InputDeviceState.keyboardDevice, nullptr);
    EXPECT_EQ(InputDeviceState.startInProgress, 0);
    EXPECT_EQ(InputDeviceState.padKeyMaps[0][4][0], 0);  // the key maps were not set
    LogIndentDepth = 0;
}

TEST_F(InputTest, EveryStartSetsPadOnesKeyMapAndEmptiesTheRest) {
    StartWithWindow();
    const int expected[14][2] = {{0x50, 0xD0}, {0x4B, 0xCB}, {0x4D, 0xCD}, {0x48, 0xC8}, {0x2C, -1},
                                 {0x2D, -1},   {0x2E, -1},   {0x1E, -1},   {0x1F, -1},   {0x20, -1},
                                 {0x10, -1},   {0x11, -1},   {0x01, -1},   {0x39, -1}};
    for (int entry = 0; entry < 32; ++entry) {
        for (int map = 0; map < 16; ++map) {
            const int* keys = InputDeviceState.padKeyMaps[map][entry];
            const bool set = map == 0 && entry < 14;
            EXPECT_EQ(keys[0], set ? expected[entry][0] : -1) << map << "," << entry;
            EXPECT_EQ(keys[1], set ? expected[entry][1] : -1) << map << "," << entry;
            EXPECT_EQ(keys[2], 0);
            EXPECT_EQ(keys[3], 0);
        }
    }
}

}  // namespace
}  // namespace inputtest
