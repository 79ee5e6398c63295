// The format index of an image block and the PixelFormats of the texture
// format indexes and of the packed Direct3D formats.
#include "framework/graphics/textures/graphic_formats.h"

#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/image/pixel_format.h"

namespace {

struct FormatMasks {
    int bitsPerPixel;
    uint32_t red;
    uint32_t green;
    uint32_t blue;
    uint32_t alpha;
};

constexpr FormatMasks kAlpha32 = {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};

constexpr FormatMasks kFormatIndexMasks[kTextureFormatCount] = {
    {16, 0xF800, 0x07E0, 0x001F, 0},
    {32, 0xFF0000, 0xFF00, 0xFF, 0},
    {16, 0x0F00, 0x00F0, 0x000F, 0xF000},
    kAlpha32,
    {16, 0x7C00, 0x03E0, 0x001F, 0x8000},
    kAlpha32,
    kAlpha32, kAlpha32, kAlpha32, kAlpha32, kAlpha32,  // the five block-compressed kinds
    {16, 0xF800, 0x07E0, 0x001F, 0},
    {32, 0xFF0000, 0xFF00, 0xFF, 0},
    kAlpha32,
};

struct PresetFormat {
    D3DFORMAT format;
    FormatMasks masks;
};

constexpr PresetFormat kPresetFormats[] = {
    {D3DFMT_R8G8B8, {24, 0xFF0000, 0xFF00, 0xFF, 0}},
    {D3DFMT_A8R8G8B8, {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
    {D3DFMT_X8R8G8B8, {32, 0xFF0000, 0xFF00, 0xFF, 0}},
    {D3DFMT_R5G6B5, {16, 0xF800, 0x7E0, 0x1F, 0}},
    {D3DFMT_X1R5G5B5, {16, 0x7C00, 0x3E0, 0x1F, 0}},
    {D3DFMT_A1R5G5B5, {16, 0x7C00, 0x3E0, 0x1F, 0x8000}},
    {D3DFMT_A4R4G4B4, {16, 0xF00, 0xF0, 0xF, 0xF000}},
    {D3DFMT_R3G3B2, {8, 0xE0, 0x1C, 0x3, 0}},
    {D3DFMT_A8R3G3B2, {16, 0xE0, 0x1C, 0x3, 0xFF00}},
    {D3DFMT_X4R4G4B4, {16, 0xF00, 0xF0, 0xF, 0}},
    {D3DFMT_A2B10G10R10, {32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000}},
    {D3DFMT_A8B8G8R8, {32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000}},
    {D3DFMT_X8B8G8R8, {32, 0xFF, 0xFF00, 0xFF0000, 0}},
    {D3DFMT_A2R10G10B10, {32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}},
};
constexpr int kPresetCount = sizeof(kPresetFormats) / sizeof(kPresetFormats[0]);

void Define(PixelFormat* format, const FormatMasks& masks) {
    DefinePixelFormat(format, masks.bitsPerPixel, masks.red, masks.green, masks.blue, masks.alpha);
}

}  // namespace

int ClassifyPixelFormat(const GraphicImage* description) {
    const bool sixteen = description->colorBits == 16;
    if (!description->hardware) {
        if (sixteen) return description->alphaChannel ? kSoftwareFormat16Alpha : kSoftwareFormat16;
        return description->alphaChannel ? kSoftwareFormat32Alpha : kSoftwareFormat32;
    }
    if (description->compressedKind >= 1 && description->compressedKind <= 5)
        return kTextureFormatDxt1 + description->compressedKind - 1;
    if (description->renderTarget) {
        if (description->alphaChannel || description->alphaTest) return kTextureFormatDrawTargetAlpha;
        return sixteen ? kTextureFormatDrawTarget16 : kTextureFormatDrawTarget32;
    }
    if (description->alphaChannel) return sixteen ? kTextureFormatAlpha16 : kTextureFormatAlpha32;
    if (description->alphaTest) return sixteen ? kTextureFormatAlphaTest16 : kTextureFormatAlphaTest32;
    return sixteen ? kTextureFormat16 : kTextureFormat32;
}

const PixelFormat* GetGraphicPixelFormat(const GraphicImage* description) {
    return GetFormatIndexPixelFormat(ClassifyPixelFormat(description));
}

const PixelFormat* GetFontGraphicPixelFormat(int alpha, int alphaTest, int thirtyTwoBits, int renderTarget) {
    GraphicImage description{};
    description.hardware = 1;
    description.alphaChannel = alpha ? 1 : 0;
    description.alphaTest = alphaTest ? 1 : 0;
    description.colorBits = thirtyTwoBits ? 32 : 16;
    description.renderTarget = renderTarget ? 1 : 0;
    return GetGraphicPixelFormat(&description);
}

const PixelFormat* GetFormatIndexPixelFormat(int index) {
    static PixelFormat formats[kTextureFormatCount];
    static bool built = false;
    if (index < 0 || index >= kTextureFormatCount) return nullptr;
    if (!built) {
        for (int i = 0; i < kTextureFormatCount; ++i) Define(&formats[i], kFormatIndexMasks[i]);
        for (int kind = 1; kind <= 5; ++kind) {
            PixelFormat& blocks = formats[kTextureFormatDxt1 + kind - 1];
            blocks.bitsPerPixel = kind == 1 ? 4 : 8;
            blocks.specialFormat = static_cast<uint32_t>(kind);
        }
        built = true;
    }
    return &formats[index];
}

const PixelFormat* GetPresetPixelFormat(uint32_t d3dFormat) {
    static PixelFormat formats[kPresetCount];
    static bool built[kPresetCount] = {};
    for (int i = 0; i < kPresetCount; ++i) {
        if (kPresetFormats[i].format != d3dFormat) continue;
        if (!built[i]) {
            Define(&formats[i], kPresetFormats[i].masks);
            built[i] = true;
        }
        return &formats[i];
    }
    return nullptr;
}
