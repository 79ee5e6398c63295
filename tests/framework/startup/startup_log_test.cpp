#include <gtest/gtest.h>

#include <string>

#include "tests/framework/startup/startup_fixture.h"

namespace startuptest {
namespace {

using StartupLogTest = StartupTest;

// A whole start in window mode, one pump and the end, on the fixed machine of
// the fixture: every line, time stamp and line end as the system writes it.
TEST_F(StartupLogTest, AWholeStartAndEndWritesThisLog) {
    ChangeWindowMode(1);
    SetMainWindowTitle("ログの検査");
    ASSERT_EQ(InitFramework(), 0);
    EXPECT_EQ(PumpMessagesLocked(), 0);
    ASSERT_EQ(EndFramework(), 0);
    const std::string expected =
        "1:システムの情報を出力します\r\n"
        "2:\tＫＩＬＮライブラリ Ver1.00\r\n"
        "3:\tＯＳ  Windows7 ( Build 7601 Service Pack 1 )\r\n"
        "107:\tＣＰＵ動作速度：大体2.04GHz\r\n"
        "108:\tＭＭＸ命令を使用します\r\n"
        "109:\tＳＳＥ命令が使用可能です\r\n"
        "110:\tＳＳＥ２命令が使用可能です\r\n"
        "111:\tＣＰＵベンダ：KilnTestCore\r\n"
        "112:\tＣＰＵ名：  Kiln Test Processor\r\n"
        "113:ＣＯＭの初期化... 成功しました\r\n"
        "114:メモリ総量:512.00MB  空きメモリ領域:256.00MB \r\n"
        "116:ソフトの二重起動検査... 二重起動はされていませんでした\r\n"
        "117:ウインドウクラスを登録します... 登録に成功しました\r\n"
        "118:ウインドウモード起動用のウインドウを作成します\r\n"
        "119:ウインドウの作成に成功しました\r\n"
        "120:ウインドウスタイルをウインドウモード用に変更します... 完了\r\n"
        "123:ＩＭＥを無効にしました\r\n"
        "124:DirectInput関係初期化処理\r\n"
        "125:\tDirectInput7 の取得中... 成功\r\n"
        "126:\t\t引き続き初期化処理... 初期化成功\r\n"
        "139:\tジョイパッドの初期化... \r\n"
        "140:\tジョイパッドの初期化は正常に終了しました\r\n"
        "141:\tマウスデバイスの初期化... 初期化成功\r\n"
        "143:\tキーボードデバイスの初期化... 初期化成功\r\n"
        "145:DirectInput 関連の初期化は正常に終了しました\r\n"
        "147:文字コードバッファの初期化を行います... 完了しました\r\n"
        "158:DirectInput 関連の終了処理... 完了\r\n"
        "159:DirectSound の終了処理は正常に終了しました\r\n"
        "161:ウインドウを閉じようとしています\r\n"
        "162:ウインドウが破棄されようとしています\r\n"
        "163:ソフトを終了する準備が整いました\r\n"
        "167:ＣＯＭを終了... 完了\r\n"
        "168:\r\n"
        "169:Alloc memory dump\r\n"
        "170:\tTotal size:0(0.000kb)  Alloc num:0\r\n"
        "171:\r\n";
    EXPECT_EQ(LogText(), expected);
}

}  // namespace
}  // namespace startuptest
