#include <gtest/gtest.h>

#include <string>

#include "tests/framework/startup/startup_fixture.h"

namespace startuptest {
namespace {

using StartupLogTest = StartupTest;

// A whole start in window mode, one pump and the end, on the fixed machine of
// the fixture: every line, time stamp and line end as the system writes it.
// The screen comes up on the Direct3D path, which logs each choice; the
// device's three presents at start wait for the display's vertical blank.
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
        "146:DirectDraw オブジェクトの取得を行います....  成功\r\n"
        "147:引き続き初期化処理... 初期化に成功しました\r\n"
        "148:IDirect3D9 オブジェクトを取得します.... 成功\r\n"
        "149:IDirect3DDevice9 オブジェクトを取得します.... ハードウエア頂点演算を使用します\r\n"
        "198:成功\r\n"
        "199:Driver:kiln_gl21  Description:Kiln OpenGL 2.1 adapter\r\n"
        "200:画面のフォーマットは D3DFMT_X8R8G8B8 です\r\n"
        "201:Ｚバッファのフォーマットは D3DFMT_D16 です\r\n"
        "202:16bit カラーフォーマットは K_D3DFMT_R5G6B5 です\r\n"
        "203:32bit カラーフォーマットは K_D3DFMT_X8R8G8B8 です\r\n"
        "204:アルファ付き 16bit カラーフォーマットは K_D3DFMT_A4R4G4B4 です\r\n"
        "205:アルファ付き 32bit カラーフォーマットは K_D3DFMT_A8R8G8B8 です\r\n"
        "206:アルファテスト用 16bit カラーフォーマットは K_D3DFMT_A1R5G5B5 です\r\n"
        "207:アルファテスト用 32bit カラーフォーマットは K_D3DFMT_A8R8G8B8 です\r\n"
        "208:ＤＸＴ１テクスチャフォーマットは K_D3DFMT_DXT1 です\r\n"
        "209:ＤＸＴ２テクスチャフォーマットは使えません\r\n"
        "210:ＤＸＴ３テクスチャフォーマットは K_D3DFMT_DXT3 です\r\n"
        "211:ＤＸＴ４テクスチャフォーマットは使えません\r\n"
        "212:ＤＸＴ５テクスチャフォーマットは K_D3DFMT_DXT5 です\r\n"
        "213:描画用 16bit カラーフォーマットは K_D3DFMT_R5G5B5 です\r\n"
        "214:描画用 32bit カラーフォーマットは K_D3DFMT_X8R8G8B8 です\r\n"
        "215:描画用アルファ付き 32bit カラーフォーマットは K_D3DFMT_A8R8G8B8 です\r\n"
        "216:Ｚバッファを作成します.... 成功\r\n"
        "217:プログラマブルシェーダーを使用します\r\n"
        "219:文字コードバッファの初期化を行います... 完了しました\r\n"
        "230:DirectInput 関連の終了処理... 完了\r\n"
        "231:DirectSound の終了処理は正常に終了しました\r\n"
        "233:ウインドウを閉じようとしています\r\n"
        "234:ウインドウが破棄されようとしています\r\n"
        "235:ソフトを終了する準備が整いました\r\n"
        "239:ＣＯＭを終了... 完了\r\n"
        "240:\r\n"
        "241:Alloc memory dump\r\n"
        "242:\tTotal size:0(0.000kb)  Alloc num:0\r\n"
        "243:\r\n";
    EXPECT_EQ(LogText(), expected);
}

}  // namespace
}  // namespace startuptest
