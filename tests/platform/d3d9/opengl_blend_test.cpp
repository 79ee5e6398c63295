// Each blend mode's state set as the framework sends it (the factors, the
// operation, the blending switch and the stage list of its colour kind)
// gives over the back buffer what Direct3D's blend gives: the source colour
// out of the stages times its factor, combined with the destination times
// its factor. The expected pixels are worked out here from the formula, in
// the back buffer's X8R8G8B8, whose alpha reads as 1.
#include <algorithm>
#include <cmath>

#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Box;
using d3d9test::kColouredFvf;
using d3d9test::Near;

constexpr D3DCOLOR kBackground = 0x002878DC;  // (40, 120, 220)
constexpr D3DCOLOR kSource = 0x60C86432;      // (200, 100, 50), alpha 96

enum class Kind { Plain, Inverted, FadeToWhite };

struct BlendCase {
    const char* name;
    DWORD source, destination, operation;  // 0: left as the device has it
    BOOL blending;
    Kind kind;
};

// The framework's rows: mode 0 to 12, and mode 3 on a device with the blend
// operation (which this one has).
const BlendCase kModes[] = {
    {"0 none", 0, 0, D3DBLENDOP_ADD, FALSE, Kind::Plain},
    {"1 alpha", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, TRUE, Kind::Plain},
    {"2 add", D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, TRUE, Kind::Plain},
    {"3 subtract, without the operation", D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, TRUE, Kind::Plain},
    {"3 subtract", D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT, TRUE, Kind::Plain},
    {"4 multiply", D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD, TRUE, Kind::Plain},
    {"5 add", D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, TRUE, Kind::Plain},
    {"6 none", 0, 0, D3DBLENDOP_ADD, FALSE, Kind::Plain},
    {"7 factors left", 0, 0, D3DBLENDOP_ADD, TRUE, Kind::Plain},
    {"8 nothing", D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_ADD, TRUE, Kind::Plain},
    {"9 inverse", D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, TRUE, Kind::Plain},
    {"10 inverted colour", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, TRUE, Kind::Inverted},
    {"11 fade to white", D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD, TRUE, Kind::FadeToWhite},
    {"12 reverse subtract", D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT, TRUE, Kind::Plain},
};

double Channel(D3DCOLOR colour, int shift) { return ((colour >> shift) & 0xFF) / 255.0; }

double Factor(DWORD factor, const double source[4], const double destination[3], int channel) {
    switch (factor) {
        case D3DBLEND_ZERO: return 0.0;
        case D3DBLEND_ONE: return 1.0;
        case D3DBLEND_SRCCOLOR: return source[channel];
        case D3DBLEND_INVSRCCOLOR: return 1.0 - source[channel];
        case D3DBLEND_SRCALPHA: return source[3];
        case D3DBLEND_INVSRCALPHA: return 1.0 - source[3];
        case D3DBLEND_DESTCOLOR: return destination[channel];
        case D3DBLEND_INVDESTCOLOR: return 1.0 - destination[channel];
        default: return 1.0;  // destination alpha: the X8 target's is 1
    }
}

D3DCOLOR Expected(const BlendCase& mode) {
    double source[4] = {Channel(kSource, 16), Channel(kSource, 8), Channel(kSource, 0), Channel(kSource, 24)};
    const double destination[3] = {Channel(kBackground, 16), Channel(kBackground, 8), Channel(kBackground, 0)};
    for (int c = 0; c < 3; ++c) {
        if (mode.kind == Kind::Inverted) source[c] = 1.0 - source[c];
        // Towards the factor (white) by the vertex alpha's complement.
        if (mode.kind == Kind::FadeToWhite) source[c] = source[c] * source[3] + (1.0 - source[3]);
    }
    const DWORD sourceFactor = mode.source != 0 ? mode.source : D3DBLEND_ONE;  // the device's defaults
    const DWORD destinationFactor = mode.destination != 0 ? mode.destination : D3DBLEND_ZERO;
    D3DCOLOR result = 0;
    for (int c = 0; c < 3; ++c) {
        double value = source[c];
        if (mode.blending) {
            const double s = source[c] * Factor(sourceFactor, source, destination, c);
            const double d = destination[c] * Factor(destinationFactor, source, destination, c);
            value = mode.operation == D3DBLENDOP_REVSUBTRACT ? d - s : s + d;
        }
        const auto byte = static_cast<D3DCOLOR>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
        result |= byte << (16 - 8 * c);
    }
    return result;
}

void PrintTo(const BlendCase& value, std::ostream* out) { *out << value.name; }

class BlendModeTest : public d3d9test::OpenGlTest, public testing::WithParamInterface<BlendCase> {};

TEST_P(BlendModeTest, GivesDirect3DsBlendOverTheBackBuffer) {
    const BlendCase& mode = GetParam();
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 1.0f, 0), D3D_OK);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, mode.blending);
    if (mode.source != 0) device->SetRenderState(D3DRS_SRCBLEND, mode.source);
    if (mode.destination != 0) device->SetRenderState(D3DRS_DESTBLEND, mode.destination);
    device->SetRenderState(D3DRS_BLENDOP, mode.operation);
    // The stage lists of a box (no texture) for the colour kinds.
    switch (mode.kind) {
        case Kind::Plain:
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
            device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
            break;
        case Kind::Inverted:
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
            device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE | D3DTA_COMPLEMENT);
            break;
        case Kind::FadeToWhite:
            device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFF);
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_BLENDDIFFUSEALPHA);
            device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
            device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
            break;
    }
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    ASSERT_EQ(Draw(kColouredFvf, Box(8, 8, 24, 24, kSource)), D3D_OK);

    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    EXPECT_TRUE(Near(pixels[16 * kSize + 16], Expected(mode)));
    EXPECT_TRUE(Near(pixels[4 * kSize + 4], kBackground));
}

INSTANTIATE_TEST_SUITE_P(Modes, BlendModeTest, testing::ValuesIn(kModes),
                         [](const testing::TestParamInfo<BlendCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace

namespace {

using d3d9test::Held;
using d3d9test::kTexturedFvf;
using d3d9test::Sprite;

class NoAlphaTargetTest : public d3d9test::OpenGlTest {};

// X8R8G8B8 surfaces have no alpha: whatever was drawn or copied into them,
// or written into their unused bytes, they read as alpha 1, as a
// destination and as a texture.
TEST_F(NoAlphaTargetTest, ReadsAnAlphaOfOneWhateverWasWritten) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00406080, 1.0f, 0), D3D_OK);
    // A box of alpha 0 drawn, and a render target of alpha 0 copied in.
    ASSERT_EQ(Draw(kColouredFvf, Box(0, 0, 16, 16, 0x00406080)), D3D_OK);
    Held<IDirect3DSurface9> clear;
    ASSERT_EQ(device->CreateRenderTarget(16, 16, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &clear, nullptr),
              D3D_OK);
    ASSERT_EQ(device->ColorFill(clear, nullptr, 0x00406080), D3D_OK);
    Held<IDirect3DSurface9> backBuffer;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    const RECT copied{16, 0, 32, 16};
    ASSERT_EQ(device->StretchRect(clear, nullptr, backBuffer, &copied, D3DTEXF_NONE), D3D_OK);

    // Destination alpha keeps the destination; its inverse takes it away.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_DESTALPHA);
    ASSERT_EQ(Draw(kColouredFvf, Box(0, 0, 32, 8, 0xFFFFFFFF)), D3D_OK);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVDESTALPHA);
    ASSERT_EQ(Draw(kColouredFvf, Box(0, 8, 32, 16, 0xFFFFFFFF)), D3D_OK);
    std::vector<D3DCOLOR> pixels = BackBufferPixels();
    for (const int x : {4, 20}) {
        EXPECT_TRUE(Near(pixels[4 * kSize + x], 0x406080)) << x;
        EXPECT_TRUE(Near(pixels[12 * kSize + x], 0)) << x;
    }

    // A texture of the format, its unused bytes 0, draws opaque.
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    const D3DCOLOR texel = 0x00FF0000;
    Held<IDirect3DTexture9> texture;
    texture.object = MakeTexture(1, 1, D3DFMT_X8R8G8B8, &texel, 4);
    ASSERT_NE(texture.object, nullptr);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    ASSERT_EQ(Draw(kTexturedFvf, Sprite(40 - 0.5f, 0 - 0.5f, 48 - 0.5f, 8 - 0.5f, 0xFFFFFFFF)), D3D_OK);
    pixels = BackBufferPixels();
    EXPECT_TRUE(Near(pixels[4 * kSize + 44], 0xFF0000));
}

}  // namespace
