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
        "146:DirectSound の初期化を行います\r\n"
        "147:DirectSound インターフェースの取得を行います....  成功\r\n"
        "148:引き続きインターフェースの初期化処理...  成功\r\n"
        "149:\tDirectSound デバイスを列挙します\r\n"
        "150:\t\tモジュール名:                 ドライバ記述:Primary Sound Driver\r\n"
        "151:\t\tモジュール名:           sdl2  ドライバ記述:Host audio output (SDL2)\r\n"
        "152:\t最大サンプリングレート:200.00KHz 最小サンプリングレート:0.10KHz\r\n"
        "153:\t総サウンドメモリ領域:0.00KB 空きサウンドメモリ領域:0.00KB\r\n"
        "154:\t利用可能サンプリング精度\r\n"
        "155:\t プライマリ １６bit = OK  ８bit = OK \r\n"
        "156:\t セカンダリ １６bit = OK  ８bit = OK \r\n"
        "157:\t利用可能チャンネル\r\n"
        "158:\t プライマリ MONO = OK  STEREO = OK \r\n"
        "159:\t セカンダリ MONO = OK  STEREO = OK \r\n"
        "160:DirectSound の初期化は正常に終了しました\r\n"
        "161:DirectDraw オブジェクトの取得を行います....  成功\r\n"
        "162:引き続き初期化処理... 初期化に成功しました\r\n"
        "163:IDirect3D9 オブジェクトを取得します.... 成功\r\n"
        "164:IDirect3DDevice9 オブジェクトを取得します.... ハードウエア頂点演算を使用します\r\n"
        "212:成功\r\n"
        "213:Driver:kiln_gl21  Description:Kiln OpenGL 2.1 adapter\r\n"
        "214:画面のフォーマットは D3DFMT_X8R8G8B8 です\r\n"
        "215:Ｚバッファのフォーマットは D3DFMT_D16 です\r\n"
        "216:16bit カラーフォーマットは K_D3DFMT_R5G6B5 です\r\n"
        "217:32bit カラーフォーマットは K_D3DFMT_X8R8G8B8 です\r\n"
        "218:アルファ付き 16bit カラーフォーマットは K_D3DFMT_A4R4G4B4 です\r\n"
        "219:アルファ付き 32bit カラーフォーマットは K_D3DFMT_A8R8G8B8 です\r\n"
        "220:アルファテスト用 16bit カラーフォーマットは K_D3DFMT_A1R5G5B5 です\r\n"
        "221:アルファテスト用 32bit カラーフォーマットは K_D3DFMT_A8R8G8B8 です\r\n"
        "222:ＤＸＴ１テクスチャフォーマットは K_D3DFMT_DXT1 です\r\n"
        "223:ＤＸＴ２テクスチャフォーマットは使えません\r\n"
        "224:ＤＸＴ３テクスチャフォーマットは K_D3DFMT_DXT3 です\r\n"
        "225:ＤＸＴ４テクスチャフォーマットは使えません\r\n"
        "226:ＤＸＴ５テクスチャフォーマットは K_D3DFMT_DXT5 です\r\n"
        "227:描画用 16bit カラーフォーマットは K_D3DFMT_R5G5B5 です\r\n"
        "228:描画用 32bit カラーフォーマットは K_D3DFMT_X8R8G8B8 です\r\n"
        "229:描画用アルファ付き 32bit カラーフォーマットは K_D3DFMT_A8R8G8B8 です\r\n"
        "230:Ｚバッファを作成します.... 成功\r\n"
        "231:プログラマブルシェーダーを使用します\r\n"
        "233:フォントの初期化を行います\r\n"
        "234:フォントの初期化は正常に終了しました\r\n"
        "235:文字コードバッファの初期化を行います... 完了しました\r\n"
        "246:フォントの初期化を行います\r\n"
        "247:フォントの初期化は正常に終了しました\r\n"
        "248:DirectInput 関連の終了処理... 完了\r\n"
        "249:DirectSound の終了処理は正常に終了しました\r\n"
        "251:ウインドウを閉じようとしています\r\n"
        "252:ウインドウが破棄されようとしています\r\n"
        "253:ソフトを終了する準備が整いました\r\n"
        "257:ＣＯＭを終了... 完了\r\n"
        "258:\r\n"
        "259:Alloc memory dump\r\n"
        "260:\tTotal size:0(0.000kb)  Alloc num:0\r\n"
        "261:\r\n";
    EXPECT_EQ(LogText(), expected);
}

}  // namespace
}  // namespace startuptest
