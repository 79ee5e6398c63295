#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/graphics/draws/draw_pipeline.h"
#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

using DeviceStartupTest = DeviceLayerTest;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void Remove(std::vector<uint32_t>& formats, std::initializer_list<uint32_t> gone) {
    for (uint32_t format : gone) formats.erase(std::remove(formats.begin(), formats.end(), format), formats.end());
}

constexpr uint32_t kDxt1 = D3DFMT_DXT1, kDxt3 = D3DFMT_DXT3, kDxt5 = D3DFMT_DXT5;

TEST_F(DeviceStartupTest, AWindowOnA32BitDesktopLogsEveryChoiceAndTakesTheDesktopsDepth) {
    MakeWindow(1);
    RequestedScreenMode.colorBits = 16;
    const size_t mark = LogText().size();
    ASSERT_EQ(ChangeScreenModeDirect3D9(), 0);
    EXPECT_EQ(LinesSince(mark),
              "DirectDraw オブジェクトの取得を行います....  成功\r\n"
              "引き続き初期化処理... 初期化に成功しました\r\n"
              "IDirect3D9 オブジェクトを取得します.... 成功\r\n"
              "IDirect3DDevice9 オブジェクトを取得します.... ハードウエア頂点演算を使用します\r\n"
              "成功\r\n"
              "Driver:kiln_gl21  Description:Kiln OpenGL 2.1 adapter\r\n"
              "画面のフォーマットは D3DFMT_X8R8G8B8 です\r\n"
              "Ｚバッファのフォーマットは D3DFMT_D16 です\r\n"
              "16bit カラーフォーマットは K_D3DFMT_R5G6B5 です\r\n"
              "32bit カラーフォーマットは K_D3DFMT_X8R8G8B8 です\r\n"
              "アルファ付き 16bit カラーフォーマットは K_D3DFMT_A4R4G4B4 です\r\n"
              "アルファ付き 32bit カラーフォーマットは K_D3DFMT_A8R8G8B8 です\r\n"
              "アルファテスト用 16bit カラーフォーマットは K_D3DFMT_A1R5G5B5 です\r\n"
              "アルファテスト用 32bit カラーフォーマットは K_D3DFMT_A8R8G8B8 です\r\n"
              "ＤＸＴ１テクスチャフォーマットは K_D3DFMT_DXT1 です\r\n"
              "ＤＸＴ２テクスチャフォーマットは使えません\r\n"
              "ＤＸＴ３テクスチャフォーマットは K_D3DFMT_DXT3 です\r\n"
              "ＤＸＴ４テクスチャフォーマットは使えません\r\n"
              "ＤＸＴ５テクスチャフォーマットは K_D3DFMT_DXT5 です\r\n"
              "描画用 16bit カラーフォーマットは K_D3DFMT_R5G5B5 です\r\n"
              "描画用 32bit カラーフォーマットは K_D3DFMT_X8R8G8B8 です\r\n"
              "描画用アルファ付き 32bit カラーフォーマットは K_D3DFMT_A8R8G8B8 です\r\n"
              "Ｚバッファを作成します.... 成功\r\n"
              "プログラマブルシェーダーを使用します\r\n");
    EXPECT_EQ(HardwarePathFlag, 1);
    EXPECT_EQ(IsDirect3DPathInUse(), 1);
    EXPECT_EQ(GetScreenColorBitDepth(), 32);
    const Direct3DDeviceState& state = Direct3DDevice;
    EXPECT_EQ(state.screenFormat, D3DFMT_X8R8G8B8);
    const D3DFORMAT expected[kTextureFormatCount] = {
        D3DFMT_R5G6B5,   D3DFMT_X8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A8R8G8B8, D3DFMT_A1R5G5B5,
        D3DFMT_A8R8G8B8, D3DFMT_DXT1,     D3DFMT_A8R8G8B8, D3DFMT_DXT3,     D3DFMT_A8R8G8B8,
        D3DFMT_DXT5,     D3DFMT_X1R5G5B5, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
    for (int entry = 0; entry < kTextureFormatCount; ++entry) EXPECT_EQ(state.textureFormats[entry], expected[entry]) << entry;
    // A 32-bit screen draws into and alpha-tests with the 32-bit entries.
    EXPECT_EQ(state.screenDrawTargetFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(state.screenAlphaTestFormat, D3DFMT_A8R8G8B8);
    EXPECT_EQ(state.shader2Capable, 1);
    EXPECT_EQ(state.blendOperationCapable, 1);
    EXPECT_EQ(state.maxTextureSize, 4096);
}

// The lines of a start-up that differ from the usual one, on adapters that
// lack something; each excerpt is a run of whole lines, exactly.
TEST_F(DeviceStartupTest, AdaptersThatLackSomethingLogWhatTheDeviceMakesOfIt) {
    struct Case {
        const char* name;
        int windowMode;
        std::function<void(platform::MachineProfile&)> adapter;
        const char* excerpt;
        bool excerptEndsTheLog;
        bool hardwarePath;
        std::vector<std::pair<int, D3DFORMAT>> entries;  // texture format table entries to check
    };
    const Case cases[] = {
        {"full screen at 16 bits with R5G6B5 modes", 0, [](platform::MachineProfile&) {},
         "画面のフォーマットは D3DFMT_R5G6B5 です\r\n", false, true,
         {{kTextureFormatDrawTarget16, D3DFMT_R5G6B5}}},
        {"full screen at 16 bits without R5G6B5 modes", 0,
         [](platform::MachineProfile& profile) { profile.direct3d.sixteenBitDisplayFormat = D3DFMT_X1R5G5B5; },
         "画面のフォーマットは D3DFMT_X1R5G5B5 です\r\n", false, true,
         {{kTextureFormatDrawTarget16, D3DFMT_X1R5G5B5}}},
        {"no block compression", 1,
         [](platform::MachineProfile& profile) { Remove(profile.direct3d.textureFormats, {kDxt1, kDxt3, kDxt5}); },
         "ＤＸＴ１テクスチャフォーマットは使えません\r\n"
         "ＤＸＴ２テクスチャフォーマットは使えません\r\n"
         "ＤＸＴ３テクスチャフォーマットは使えません\r\n"
         "ＤＸＴ４テクスチャフォーマットは使えません\r\n"
         "ＤＸＴ５テクスチャフォーマットは使えません\r\n",
         false, true,
         {{kTextureFormatDxt1, D3DFMT_A1R5G5B5},
          {kTextureFormatDxt1 + 1, D3DFMT_A8R8G8B8},
          {kTextureFormatDxt1 + 2, D3DFMT_A8R8G8B8},
          {kTextureFormatDxt1 + 3, D3DFMT_A8R8G8B8},
          {kTextureFormatDxt1 + 4, D3DFMT_A8R8G8B8}}},
        {"no 32-bit texture", 1,
         [](platform::MachineProfile& profile) { Remove(profile.direct3d.textureFormats, {D3DFMT_X8R8G8B8}); },
         "16bit カラーフォーマットは K_D3DFMT_R5G6B5 です\r\n32bit カラーフォーマットは K_D3DFMT_R5G6B5 です\r\n", false,
         true, {{kTextureFormat32, D3DFMT_R5G6B5}}},
        {"only the second 16-bit texture", 1,
         [](platform::MachineProfile& profile) { Remove(profile.direct3d.textureFormats, {D3DFMT_R5G6B5}); },
         "16bit カラーフォーマットは K_D3DFMT_X1R5G5B5 です\r\n", false, true,
         {{kTextureFormat16, D3DFMT_X1R5G5B5}}},
        {"no render target with alpha", 1,
         [](platform::MachineProfile& profile) {
             Remove(profile.direct3d.renderTargetFormats, {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4});
         },
         "描画用 32bit カラーフォーマットは K_D3DFMT_X8R8G8B8 です\r\n"
         "使用できる描画用アルファ付き 32bit カラーフォーマットがありませんでした\r\n"
         "Ｚバッファを作成します.... 成功\r\n",
         false, true, {{kTextureFormatDrawTargetAlpha, D3DFMT_UNKNOWN}}},
        {"no 16-bit texture", 1,
         [](platform::MachineProfile& profile) {
             Remove(profile.direct3d.textureFormats, {D3DFMT_R5G6B5, D3DFMT_X1R5G5B5});
         },
         "Ｚバッファのフォーマットは D3DFMT_D16 です\r\n使用できる 16bit カラーフォーマットが見つかりませんでした\r\n", true,
         false, {}},
        {"no texture for the alpha test", 1,
         [](platform::MachineProfile& profile) {
             Remove(profile.direct3d.textureFormats, {D3DFMT_A1R5G5B5, D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4});
         },
         "使用できるアルファ付き 16bit カラーフォーマットが見つかりませんでした\r\n", true, false, {}},
        {"no Z format", 1, [](platform::MachineProfile& profile) { profile.direct3d.depthStencilFormats.clear(); },
         "画面のフォーマットは D3DFMT_X8R8G8B8 です\r\n使用できる Zバッファフォーマットが見つかりませんでした\r\n", true,
         false, {}},
        {"no hardware vertex processing", 1,
         [](platform::MachineProfile& profile) { profile.direct3d.hardwareVertexProcessing = false; },
         "IDirect3DDevice9 オブジェクトを取得します.... ソフトウエア頂点演算を使用します\r\n成功\r\n", false, true, {}},
        {"no device at all", 1, [](platform::MachineProfile& profile) { profile.failures.direct3d.createDevice = true; },
         "IDirect3DDevice9 オブジェクトを取得します.... Direct3DDevice9 の作成に失敗しました\r\n", true, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TermGraphicsDevice();
        DestroyMainWindow();
        ResetWindowSide();
        ResetDeviceLayer();
        platform::Profile().direct3d = platform::Direct3DProfile{};
        platform::Profile().failures.direct3d = platform::Direct3DFailures{};
        platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Recording;
        c.adapter(platform::Profile());
        MakeWindow(c.windowMode);
        const size_t mark = LogText().size();
        // A refused hardware path falls back to the software path, which in
        // a window has nothing more to do.
        ASSERT_EQ(ChangeScreenModeDirect3D9(), 0);
        const std::string lines = LinesSince(mark);
        EXPECT_TRUE(Contains(lines, c.excerpt)) << lines;
        if (c.excerptEndsTheLog) {
            EXPECT_TRUE(EndsWith(lines, c.excerpt)) << lines;
        }
        EXPECT_EQ(HardwarePathFlag, c.hardwarePath ? 1 : 0);
        EXPECT_EQ(Direct3DDevice.device != nullptr, c.hardwarePath);
        EXPECT_EQ(Direct3DDevice.directDraw != nullptr, true);
        if (!c.hardwarePath) {
            EXPECT_EQ(Direct3DDevice.direct3d, nullptr);
            EXPECT_EQ(Direct3DDevice.zBuffer, nullptr);
        }
        for (const auto& [entry, format] : c.entries) EXPECT_EQ(Direct3DDevice.textureFormats[entry], format) << entry;
    }
}

TEST_F(DeviceStartupTest, WithoutHardwareVertexProcessingTheSecondAttemptLeavesShadersOff) {
    platform::Profile().direct3d.hardwareVertexProcessing = false;
    MakeWindow(1);
    const size_t mark = LogText().size();
    ASSERT_EQ(ChangeScreenModeDirect3D9(), 0);
    EXPECT_EQ(Direct3DDevice.shader2Capable, 0);
    EXPECT_EQ(Direct3DDevice.vertexShadersUsable, 0);
    EXPECT_EQ(ProgrammableShadersOn, 0);
    EXPECT_TRUE(EndsWith(LinesSince(mark), "Ｚバッファを作成します.... 成功\r\nプログラマブルシェーダーを使用しません\r\n"));
}

TEST_F(DeviceStartupTest, TheZBufferTakesTheNextPowersOfTwo) {
    struct Case {
        int width, height;
        int zWidth, zHeight;
    };
    const Case cases[] = {{640, 480, 1024, 512}, {320, 240, 512, 256}, {1024, 768, 1024, 1024}, {800, 600, 1024, 1024}};
    MakeWindow(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        RequestedScreenMode.width = c.width;
        RequestedScreenMode.height = c.height;
        ASSERT_EQ(ChangeScreenModeDirect3D9(), 0);
        EXPECT_EQ(Direct3DDevice.zBufferWidth, c.zWidth);
        EXPECT_EQ(Direct3DDevice.zBufferHeight, c.zHeight);
        D3DSURFACE_DESC description{};
        ASSERT_NE(Direct3DDevice.zBuffer, nullptr);
        Direct3DDevice.zBuffer->GetDesc(&description);
        EXPECT_EQ(description.Width, static_cast<UINT>(c.zWidth));
        EXPECT_EQ(description.Height, static_cast<UINT>(c.zHeight));
        EXPECT_EQ(description.Format, D3DFMT_D16);
        TermGraphicsDevice();
    }
}

TEST_F(DeviceStartupTest, ANewDeviceStartsInTheBackgroundColourWithItsZBufferSet) {
    MainWindow.settings.backgroundRed = 0x12;
    MainWindow.settings.backgroundGreen = 0x34;
    MainWindow.settings.backgroundBlue = 0x56;
    MainWindow.settings.backgroundColorSet = 1;
    StartWindowed();
    const std::vector<std::string> calls = TakeCalls();
    const std::vector<std::string> start(calls.begin(), calls.begin() + 8);
    EXPECT_EQ(start, (std::vector<std::string>{
                         "SetRenderState(7, 0x1)",
                         "Clear(0, 0x1, 0x123456, 1, 0)",
                         "Present(null, null, object, null)",
                         "Clear(0, 0x1, 0x123456, 1, 0)",
                         "Present(null, null, object, null)",
                         "Clear(0, 0x1, 0x123456, 1, 0)",
                         "Present(null, null, object, null)",
                         "Clear(0, 0x1, 0x123456, 1, 0)",
                     }));
    EXPECT_TRUE(std::find(calls.begin(), calls.end(), "CreateDepthStencilSurface(1024, 512, 80, 0, 0, 1, object)") !=
                calls.end());
    const auto depthSet = std::find(calls.begin(), calls.end(), "SetDepthStencilSurface(object)");
    ASSERT_NE(depthSet, calls.end());
    EXPECT_EQ(*(depthSet + 1), "Clear(0, 0x2, 0x0, 1, 0)");
}

TEST_F(DeviceStartupTest, TheSoftwarePathSwitchesTheDisplayInFullScreen) {
    struct Case {
        const char* name;
        int width, height, colorBits, refreshRate;
        int result;
        const char* log;
        int displayWidth;  // 0: the desktop's
        int flag320x240;
        int refreshAfter;
    };
    const Case cases[] = {
        {"a mode the display has", 800, 600, 16, 0, 0,
         "画面モードの変更処理を開始します 800 x 600  16 bit \r\n\t画面解像度を変更します... 成功しました\r\n", 800, 0, 0},
        {"a refresh rate the display lacks", 640, 480, 32, 75, 0,
         "画面モードの変更処理を開始します 640 x 480  32 bit \r\n\t画面解像度を変更します... 成功しました\r\n", 640, 0, 0},
        {"320 by 240, which the display lacks", 320, 240, 16, 0, 0,
         "画面モードの変更処理を開始します 320 x 240  16 bit \r\n"
         "\t画面解像度を変更します... ウインドウスタイルをフルスクリーンモード用に変更します... 完了\r\n"
         "\t成功しました\r\n",
         640, 1, 0},
        {"a size the display lacks", 700, 500, 16, 0, -1,
         "画面モードの変更処理を開始します 700 x 500  16 bit \r\n\t画面解像度を変更します... 画面モードの変更に失敗しました\r\n",
         0, 0, 0},
        {"a depth the screen cannot have", 640, 480, 24, 0, -1, "画面モードの変更処理を開始します 640 x 480  24 bit \r\n", 0, 0,
         0},
    };
    platform::Profile().display.displayModes = {
        {640, 480, 16, 60}, {640, 480, 32, 60}, {800, 600, 16, 60}, {1280, 1024, 32, 60}};
    MakeWindow(0);
    SoftwareRenderOnlyFlag = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RequestedScreenMode = ScreenModeRequest{c.width, c.height, c.colorBits, c.refreshRate};
        Screen320x240Flag = 0;
        const size_t mark = LogText().size();
        EXPECT_EQ(ChangeScreenModeDirect3D9(), c.result);
        EXPECT_EQ(LinesSince(mark), std::string("DirectDraw オブジェクトの取得を行います....  成功\r\n"
                                                "引き続き初期化処理... 初期化に成功しました\r\n") +
                                        c.log);
        EXPECT_EQ(LogIndentDepth, 0);
        EXPECT_EQ(HardwarePathFlag, 0);
        EXPECT_EQ(Screen320x240Flag, c.flag320x240);
        EXPECT_EQ(RequestedScreenMode.refreshRate, c.refreshAfter);
        DEVMODEA mode{};
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        EXPECT_EQ(mode.dmPelsWidth, static_cast<DWORD>(c.displayWidth != 0 ? c.displayWidth : 1280));
        // The desktop comes back when the layer goes down.
        TermGraphicsDevice();
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        EXPECT_EQ(mode.dmPelsWidth, 1280u);
    }
}

TEST_F(DeviceStartupTest, TheHardwarePathInFullScreenHoldsTheDisplayUntilTheLayerGoes) {
    MakeWindow(0);
    ASSERT_EQ(ChangeScreenModeDirect3D9(), 0);
    ASSERT_EQ(HardwarePathFlag, 1);
    DEVMODEA mode{};
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    EXPECT_EQ(mode.dmPelsWidth, 640u);
    EXPECT_EQ(mode.dmBitsPerPel, 16u);
    EXPECT_EQ(TermGraphicsDevice(), 0);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    EXPECT_EQ(mode.dmPelsWidth, 1280u);
}

TEST_F(DeviceStartupTest, ADeviceMadeAgainLetsTheOldOneGoAndTheLayerComesDownTwiceSafely) {
    StartWindowed();
    IDirect3DDevice9* first = Direct3DDevice.device;
    first->AddRef();
    ASSERT_EQ(CreateDirect3D9Device(), 0);
    EXPECT_NE(Direct3DDevice.device, first);
    // Nothing of the layer holds the first device any more.
    EXPECT_EQ(first->Release(), 0u);
    ASSERT_EQ(CreateDepthBuffer(), 0);

    EXPECT_EQ(TermGraphicsDevice(), 0);
    const Direct3DDeviceState& state = Direct3DDevice;
    EXPECT_EQ(state.device, nullptr);
    EXPECT_EQ(state.direct3d, nullptr);
    EXPECT_EQ(state.directDraw, nullptr);
    EXPECT_EQ(state.swapChain, nullptr);
    EXPECT_EQ(state.backBuffer, nullptr);
    EXPECT_EQ(state.zBuffer, nullptr);
    EXPECT_EQ(state.d3d9Module, nullptr);
    EXPECT_EQ(HardwarePathFlag, 0);
    const size_t mark = LogText().size();
    EXPECT_EQ(TermGraphicsDevice(), 0);
    EXPECT_EQ(LinesSince(mark), "");
    EXPECT_EQ(CreateSubBackBuffer(), -1);
    EXPECT_EQ(CreateDepthBuffer(), -1);
    EXPECT_EQ(CreateDirect3D9Device(), -1);
}

TEST_F(DeviceStartupTest, TheSubBackBufferHasTheScreensSizeAndFormat) {
    StartWindowed();
    ASSERT_EQ(CreateSubBackBuffer(), 0);
    IDirect3DSurface9* first = Direct3DDevice.subBackBuffer;
    ASSERT_NE(first, nullptr);
    D3DSURFACE_DESC description{};
    first->GetDesc(&description);
    EXPECT_EQ(description.Width, 640u);
    EXPECT_EQ(description.Height, 480u);
    EXPECT_EQ(description.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(description.Usage, D3DUSAGE_RENDERTARGET);

    platform::Profile().failures.direct3d.createRenderTarget = true;
    const size_t mark = LogText().size();
    EXPECT_EQ(CreateSubBackBuffer(), -1);
    EXPECT_EQ(LinesSince(mark), "サブバックバッファの作成に失敗しました\r\n");
    EXPECT_EQ(Direct3DDevice.subBackBuffer, nullptr);
}

TEST_F(DeviceStartupTest, ScenesOpenOnceAndANewSceneForgetsTheLastDrawSetUp) {
    StartWindowed();
    TakeCalls();
    LastDrawPipelineSetup.flags = 0x20;
    BeginDeviceScene();
    BeginDeviceScene();
    EXPECT_EQ(Direct3DDevice.inScene, 1);
    EXPECT_EQ(LastDrawPipelineSetup.flags, 0);
    EndDeviceScene();
    EndDeviceScene();
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"BeginScene()", "EndScene()"}));

    // A scene left open when the layer goes does not outlive it: the next
    // device opens its own before it draws.
    BeginDeviceScene();
    TermGraphicsDevice();
    ASSERT_EQ(ChangeScreenModeDirect3D9(), 0);
    TakeCalls();
    QueueVertices(3);
    FlushVertexBatch();
    const std::vector<std::string> calls = TakeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "BeginScene()");
}

TEST_F(DeviceStartupTest, WithoutDirectDrawTheScreenCannotComeUp) {
    platform::Profile().direct3d.directDraw = false;
    MakeWindow(1);
    const size_t mark = LogText().size();
    EXPECT_EQ(ChangeScreenModeDirect3D9(), -1);
    EXPECT_EQ(LinesSince(mark), "DirectDraw オブジェクトの取得を行います....  オブジェクトの取得に失敗しました\r\n");
    EXPECT_EQ(Direct3DDevice.d3d9Module, nullptr);

    platform::Profile().direct3d.directDraw = true;
    platform::Profile().failures.direct3d.initializeDirectDraw = true;
    const size_t again = LogText().size();
    EXPECT_EQ(ChangeScreenModeDirect3D9(), -1);
    EXPECT_EQ(LinesSince(again),
              "DirectDraw オブジェクトの取得を行います....  成功\r\n"
              "引き続き初期化処理... DirectDrawオブジェクトの初期化に失敗しました\r\n");
    EXPECT_EQ(Direct3DDevice.directDraw, nullptr);
}

TEST_F(DeviceStartupTest, WithoutDirect3DTheSoftwarePathTakesOver) {
    platform::Profile().failures.direct3d.createDirect3D = true;
    MakeWindow(1);
    const size_t mark = LogText().size();
    EXPECT_EQ(ChangeScreenModeDirect3D9(), 0);
    EXPECT_TRUE(EndsWith(LinesSince(mark),
                         "IDirect3D9 オブジェクトを取得します.... IDirect3D9 オブジェクトの取得に失敗しました\r\n"));
    EXPECT_EQ(HardwarePathFlag, 0);
    EXPECT_NE(Direct3DDevice.directDraw, nullptr);
}

TEST_F(DeviceStartupTest, TheGraphicsSystemStartsOnTheHardwarePathAndEndsCleanly) {
    MakeWindow(1);
    ASSERT_EQ(InitGraphicsSystem(), 0);
    EXPECT_EQ(IsDirect3DPathInUse(), 1);
    EXPECT_EQ(GraphicsSystemUp, 1);
    // Every sampler got the address modes of the draw settings.
    for (int sampler = 0; sampler < kDeviceSamplerCount; ++sampler) {
        EXPECT_EQ(DeviceStates.addressU[sampler], D3DTADDRESS_CLAMP);
        EXPECT_EQ(DeviceStates.addressV[sampler], D3DTADDRESS_CLAMP);
    }
    const auto* twoTextures = reinterpret_cast<const BatchVertexTex2*>(BatchBuffer(2));
    EXPECT_EQ(twoTextures[1637].rhw, 1.0f);
    EXPECT_EQ(twoTextures[1637].specular, 0xFFFFFFFFu);
    EXPECT_EQ(TermGraphicsSystem(), 0);
    EXPECT_EQ(Direct3DDevice.device, nullptr);
    EXPECT_EQ(ShaderPack.pack, nullptr);
    EXPECT_EQ(GraphicsSystemUp, 0);
}

}  // namespace
}  // namespace graphicstest
