// The texture-stage combiner: operations, arguments and their modifiers,
// the texture factor, the specular colour, texture coordinate sets and a
// second stage, each set as a draw of the framework (or a state block of a
// program) sets it, drawn into an A8R8G8B8 render target so that alpha is
// seen too. Then shading (flat takes a triangle's first vertex), the alpha
// test at its reference, and textures uploaded again after a lock and in
// S3TC blocks.
#include <cmath>

#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Box;
using d3d9test::ColouredVertex;
using d3d9test::Held;
using d3d9test::kColouredFvf;
using d3d9test::kTexturedFvf;
using d3d9test::Near;
using d3d9test::Sprite;

// The framework's vertex with a blend graphic: two texture coordinate sets
// and a specular colour.
constexpr DWORD kStageFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;
struct StageVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse, specular;
    float u0, v0, u1, v1;
};

// The texture is two texels: set 0 points at the first, set 1 at the second.
constexpr D3DCOLOR kTexel0 = 0xC0643CC8;  // alpha 192, (100, 60, 200)
constexpr D3DCOLOR kTexel1 = 0x8000FF00;  // alpha 128, green
constexpr D3DCOLOR kDiffuse = 0x80808080;
constexpr D3DCOLOR kSpecular = 0x40102030;
constexpr D3DCOLOR kFactor = 0xA0204060;

struct StageState {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};

struct StageCase {
    const char* name;
    std::vector<StageState> stages;
    std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> renderStates;
    D3DCOLOR expected;  // with alpha
};

const StageCase kCases[] = {
    // 100 x 128 / 255 x 2 = 100.4, 60.2, 200.8
    {"Modulate2x", {{0, D3DTSS_COLOROP, D3DTOP_MODULATE2X}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                    {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
                    {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}}, {}, 0xC0643CC9},
    // 200.8, 120.4, 401.6 (saturated)
    {"Modulate4xSaturates", {{0, D3DTSS_COLOROP, D3DTOP_MODULATE4X}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                             {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
                             {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}}, {}, 0xC0C978FF},
    {"Complement", {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT},
                    {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1}, {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT}},
     {}, 0x3F9BC337},
    {"AlphaReplicate", {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1},
                        {0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE},
                        {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1}, {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}},
     {}, 0xC0C0C0C0},
    // (100 + 32, 60 + 64, 200 + 96 saturated); alpha 192 x 160 / 255 = 120.5
    {"TextureFactor", {{0, D3DTSS_COLOROP, D3DTOP_ADD}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                       {0, D3DTSS_COLORARG2, D3DTA_TFACTOR}, {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
                       {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR}},
     {{D3DRS_TEXTUREFACTOR, kFactor}}, 0x79847CFF},
    {"Specular", {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_COLORARG1, D3DTA_SPECULAR},
                  {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1}, {0, D3DTSS_ALPHAARG1, D3DTA_SPECULAR}},
     {}, kSpecular},
    // (0, 0, 72), alpha 64
    {"SubtractStopsAtZero", {{0, D3DTSS_COLOROP, D3DTOP_SUBTRACT}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                             {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {0, D3DTSS_ALPHAOP, D3DTOP_SUBTRACT},
                             {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE}},
     {}, 0x40000048},
    // texel x 128/255 + factor x 127/255: (66.1, 62.0, 148.2)
    {"BlendDiffuseAlpha", {{0, D3DTSS_COLOROP, D3DTOP_BLENDDIFFUSEALPHA}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                           {0, D3DTSS_COLORARG2, D3DTA_TFACTOR}, {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2},
                           {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE}},
     {{D3DRS_TEXTUREFACTOR, kFactor}}, 0x80423E94},
    {"TextureCoordinateIndex", {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                                {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1}, {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
                                {0, D3DTSS_TEXCOORDINDEX, 1}},
     {}, kTexel1},
    // The framework's fade to white: the texel towards white by the vertex
    // alpha's complement, (177.2, 157.1, 227.4).
    {"FadeToWhiteInASecondStage", {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                                   {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2}, {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
                                   {1, D3DTSS_COLOROP, D3DTOP_BLENDCURRENTALPHA},
                                   {1, D3DTSS_COLORARG1, D3DTA_CURRENT}, {1, D3DTSS_COLORARG2, D3DTA_TFACTOR},
                                   {1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1}, {1, D3DTSS_ALPHAARG1, D3DTA_CURRENT},
                                   {1, D3DTSS_TEXCOORDINDEX, 1}},
     {{D3DRS_TEXTUREFACTOR, 0xFFFFFFFF}}, 0x80B19DE3},
    // Stage 1 samples its own texture through set 1: the two texels added;
    // alpha 128 x 192 / 255 = 96.4.
    {"SecondStageWithItsOwnSet", {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                                  {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1}, {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
                                  {1, D3DTSS_COLOROP, D3DTOP_ADD}, {1, D3DTSS_COLORARG1, D3DTA_CURRENT},
                                  {1, D3DTSS_COLORARG2, D3DTA_TEXTURE}, {1, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
                                  {1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {1, D3DTSS_ALPHAARG2, D3DTA_CURRENT},
                                  {1, D3DTSS_TEXCOORDINDEX, 1}},
     {}, 0x6064FFC8},
    {"SpecularAddedAfterTheStages", {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG2}, {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE},
                                     {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2}, {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE}},
     {{D3DRS_SPECULARENABLE, TRUE}}, 0x8090A0B0},
    {"NoStageGivesTheDiffuseColour", {{0, D3DTSS_COLOROP, D3DTOP_DISABLE}}, {}, kDiffuse},
};

void PrintTo(const StageCase& value, std::ostream* out) { *out << value.name; }

class TextureStageTest : public d3d9test::OpenGlTest, public testing::WithParamInterface<StageCase> {};

TEST_P(TextureStageTest, CombinesAsDirect3DDoes) {
    const StageCase& stageCase = GetParam();
    Held<IDirect3DSurface9> target;
    ASSERT_EQ(device->CreateRenderTarget(16, 16, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr),
              D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, target), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    const D3DCOLOR texels[2] = {kTexel0, kTexel1};
    Held<IDirect3DTexture9> texture;
    texture.object = MakeTexture(2, 1, D3DFMT_A8R8G8B8, texels, sizeof(texels));
    ASSERT_NE(texture.object, nullptr);
    device->SetTexture(0, texture);
    device->SetTexture(1, texture);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    for (const auto& [state, value] : stageCase.renderStates) device->SetRenderState(state, value);
    for (const StageState& state : stageCase.stages)
        ASSERT_EQ(device->SetTextureStageState(state.stage, state.type, state.value), D3D_OK);

    const std::vector<StageVertex> quad = {
        {-0.5f, -0.5f, 0, 1, kDiffuse, kSpecular, 0.25f, 0.5f, 0.75f, 0.5f},
        {15.5f, -0.5f, 0, 1, kDiffuse, kSpecular, 0.25f, 0.5f, 0.75f, 0.5f},
        {-0.5f, 15.5f, 0, 1, kDiffuse, kSpecular, 0.25f, 0.5f, 0.75f, 0.5f},
        {15.5f, 15.5f, 0, 1, kDiffuse, kSpecular, 0.25f, 0.5f, 0.75f, 0.5f},
        {-0.5f, 15.5f, 0, 1, kDiffuse, kSpecular, 0.25f, 0.5f, 0.75f, 0.5f},
        {15.5f, -0.5f, 0, 1, kDiffuse, kSpecular, 0.25f, 0.5f, 0.75f, 0.5f},
    };
    ASSERT_EQ(Draw(kStageFvf, quad), D3D_OK);
    const std::vector<D3DCOLOR> pixels = Pixels(target);
    EXPECT_TRUE(Near(pixels[8 * 16 + 8], stageCase.expected, d3d9test::kTolerance, true));
}

INSTANTIATE_TEST_SUITE_P(Stages, TextureStageTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<StageCase>& info) { return std::string(info.param.name); });

class ShadingAndAlphaTest : public d3d9test::OpenGlTest {
protected:
    void SetUp() override {
        OpenGlTest::SetUp();
        if (device == nullptr) return;
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
    }
};

TEST_F(ShadingAndAlphaTest, FlatShadingTakesTheFirstVertexGouraudBlends) {
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    const std::vector<ColouredVertex> triangle = {
        {0, 0, 0, 1, 0xFFFF0000}, {64, 0, 0, 1, 0xFF00FF00}, {0, 64, 0, 1, 0xFF0000FF}};
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    ASSERT_EQ(Draw(kColouredFvf, triangle), D3D_OK);
    std::vector<D3DCOLOR> pixels = BackBufferPixels();
    for (const auto& [x, y] : {std::pair{1, 1}, {50, 2}, {2, 50}, {20, 20}})
        EXPECT_TRUE(Near(pixels[y * kSize + x], 0xFF0000)) << x << ", " << y;

    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    ASSERT_EQ(Draw(kColouredFvf, triangle), D3D_OK);
    pixels = BackBufferPixels();
    // Near each corner its colour; between them a mix.
    EXPECT_TRUE(Near(pixels[1 * kSize + 60], 0x00F00B, 12));
    EXPECT_TRUE(Near(pixels[60 * kSize + 1], 0x000BF0, 12));
    EXPECT_TRUE(Near(pixels[21 * kSize + 21], 0x565656, 12));
}

TEST_F(ShadingAndAlphaTest, TheAlphaTestComparesWholeStepsWithTheReference) {
    // Texels of alpha 15, 16, 17 and 255 side by side.
    const D3DCOLOR texels[4] = {0x0FFFFFFF, 0x10FFFFFF, 0x11FFFFFF, 0xFFFFFFFF};
    Held<IDirect3DTexture9> texture;
    texture.object = MakeTexture(4, 1, D3DFMT_A8R8G8B8, texels, sizeof(texels));
    ASSERT_NE(texture.object, nullptr);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 16);
    const struct {
        D3DCMPFUNC function;
        bool drawn[4];
    } kFunctions[] = {
        {D3DCMP_GREATER, {false, false, true, true}},
        {D3DCMP_GREATEREQUAL, {false, true, true, true}},
        {D3DCMP_EQUAL, {false, true, false, false}},
        {D3DCMP_LESS, {true, false, false, false}},
        {D3DCMP_NEVER, {false, false, false, false}},
    };
    for (const auto& test : kFunctions) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->SetRenderState(D3DRS_ALPHAFUNC, test.function);
        ASSERT_EQ(Draw(kTexturedFvf, Sprite(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFF)), D3D_OK);
        const std::vector<D3DCOLOR> pixels = BackBufferPixels();
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ((pixels[x] & 0xFFFFFF) != 0, test.drawn[x]) << "function " << test.function << ", texel " << x;
    }
}

TEST_F(ShadingAndAlphaTest, ATextureWrittenUnderALockIsDrawnAnew) {
    const D3DCOLOR red = 0xFFFF0000;
    Held<IDirect3DTexture9> texture;
    texture.object = MakeTexture(1, 1, D3DFMT_A8R8G8B8, &red, 4);
    ASSERT_NE(texture.object, nullptr);
    device->SetTexture(0, texture);
    ASSERT_EQ(Draw(kTexturedFvf, Sprite(-0.5f, -0.5f, 7.5f, 7.5f, 0xFFFFFFFF)), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    *static_cast<D3DCOLOR*>(locked.pBits) = 0xFF0000FF;
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    ASSERT_EQ(Draw(kTexturedFvf, Sprite(7.5f, -0.5f, 15.5f, 7.5f, 0xFFFFFFFF)), D3D_OK);
    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    EXPECT_TRUE(Near(pixels[3 * kSize + 3], 0xFF0000));
    EXPECT_TRUE(Near(pixels[3 * kSize + 11], 0x0000FF));
}

TEST_F(ShadingAndAlphaTest, BlockCompressedTexturesAreDrawnWhereTheContextTakesThem) {
    // One DXT1 block: both end colours pure red in 5-6-5, every index 0.
    const BYTE block[8] = {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0};
    const bool offered = d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0,
                                                D3DRTYPE_TEXTURE, D3DFMT_DXT1) == D3D_OK;
    Held<IDirect3DTexture9> texture;
    texture.object = MakeTexture(4, 4, D3DFMT_DXT1, block, sizeof(block));
    ASSERT_EQ(texture.object != nullptr, offered);
    if (!offered) GTEST_SKIP() << "the context has no S3TC";
    device->SetTexture(0, texture);
    ASSERT_EQ(Draw(kTexturedFvf, Sprite(-0.5f, -0.5f, 3.5f, 3.5f, 0xFFFFFFFF)), D3D_OK);
    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    EXPECT_TRUE(Near(pixels[1 * kSize + 2], 0xFF0000));
    EXPECT_EQ(pixels[1 * kSize + 4] & 0xFFFFFF, 0u);
}

}  // namespace
