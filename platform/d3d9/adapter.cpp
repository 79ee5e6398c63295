// The adapter's modes, formats and caps, read from the machine profile and
// the display each time they are asked for, so that a test's profile takes
// effect at once.
#include "platform/d3d9/adapter.h"

#include <algorithm>

#include "platform/d3d9/formats.h"
#include "platform/d3d9/gl_capabilities.h"
#include "platform/d3d9/video_conversion.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"

namespace platform::d3d9 {
namespace {

// Listed in the profile, and held by the renderer: drawing through OpenGL,
// the adapter offers only what the context can hold.
bool Listed(const std::vector<uint32_t>& formats, D3DFORMAT format) {
    if (std::find(formats.begin(), formats.end(), static_cast<uint32_t>(format)) == formats.end()) return false;
    return Profile().direct3d.renderer != Direct3DRenderer::OpenGL || OpenGlHoldsFormat(format);
}

// Plain surfaces of a video format are offered whatever draws: the
// renderers convert them in memory as they copy them into colour surfaces.
bool ListedPlain(D3DFORMAT format) {
    const std::vector<uint32_t>& formats = Profile().direct3d.plainSurfaceFormats;
    const FormatInfo* info = FindFormat(format);
    if (info != nullptr && IsVideoFormat(*info))
        return std::find(formats.begin(), formats.end(), static_cast<uint32_t>(format)) != formats.end();
    return Listed(formats, format);
}

D3DDISPLAYMODE ModeOf(const DEVMODEA& mode) {
    D3DDISPLAYMODE displayMode{};
    displayMode.Width = mode.dmPelsWidth;
    displayMode.Height = mode.dmPelsHeight;
    displayMode.RefreshRate = mode.dmDisplayFrequency;
    displayMode.Format = DisplayFormatOfDepth(mode.dmBitsPerPel);
    return displayMode;
}

}  // namespace

D3DFORMAT DisplayFormatOfDepth(DWORD bitsPerPixel) {
    switch (bitsPerPixel) {
        case 32: return D3DFMT_X8R8G8B8;
        case 24: return D3DFMT_R8G8B8;
        case 16: return static_cast<D3DFORMAT>(Profile().direct3d.sixteenBitDisplayFormat);
        default: return D3DFMT_UNKNOWN;
    }
}

D3DDISPLAYMODE CurrentDisplayMode() {
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return D3DDISPLAYMODE{};
    return ModeOf(mode);
}

std::vector<D3DDISPLAYMODE> DisplayModesIn(D3DFORMAT format) {
    std::vector<D3DDISPLAYMODE> modes;
    if (format == D3DFMT_UNKNOWN) return modes;
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    for (DWORD index = 0; EnumDisplaySettingsA(nullptr, index, &mode); ++index) {
        const D3DDISPLAYMODE displayMode = ModeOf(mode);
        if (displayMode.Format == format) modes.push_back(displayMode);
    }
    return modes;
}

bool IsRenderTargetFormat(D3DFORMAT format) { return Listed(Profile().direct3d.renderTargetFormats, format); }
bool IsDepthStencilFormat(D3DFORMAT format) { return Listed(Profile().direct3d.depthStencilFormats, format); }

bool AdapterMakes(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) {
    const Direct3DProfile& adapter = Profile().direct3d;
    if ((usage & ~(D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL | D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY)) != 0)
        return false;
    const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    const bool depthStencil = (usage & D3DUSAGE_DEPTHSTENCIL) != 0;
    switch (type) {
        case D3DRTYPE_SURFACE:
            if (renderTarget && depthStencil) return false;
            if (renderTarget) return Listed(adapter.renderTargetFormats, format);
            if (depthStencil) return Listed(adapter.depthStencilFormats, format);
            return Listed(adapter.textureFormats, format) || Listed(adapter.renderTargetFormats, format) ||
                   ListedPlain(format);
        case D3DRTYPE_TEXTURE:
            // No depth textures: depth is kept in depth surfaces only.
            if (depthStencil) return false;
            if (renderTarget) return Listed(adapter.renderTargetFormats, format);
            return Listed(adapter.textureFormats, format);
        case D3DRTYPE_VERTEXBUFFER:
            return !renderTarget && !depthStencil && format == D3DFMT_VERTEXDATA;
        case D3DRTYPE_INDEXBUFFER:
            return !renderTarget && !depthStencil && (format == D3DFMT_INDEX16 || format == D3DFMT_INDEX32);
    }
    return false;
}

D3DCAPS9 AdapterCaps() {
    const Direct3DProfile& adapter = Profile().direct3d;
    D3DCAPS9 caps{};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.AdapterOrdinal = D3DADAPTER_DEFAULT;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    caps.DevCaps = adapter.hardwareVertexProcessing ? D3DDEVCAPS_HWTRANSFORMANDLIGHT : 0;
    caps.PrimitiveMiscCaps = adapter.blendOperation ? D3DPMISCCAPS_BLENDOP : 0;
    caps.TextureCaps = adapter.squareOnlyTextures ? D3DPTEXTURECAPS_SQUAREONLY : 0;
    caps.MaxTextureWidth = adapter.maxTextureWidth;
    caps.MaxTextureHeight = adapter.maxTextureHeight;
    caps.MaxAnisotropy = 16;
    caps.MaxTextureBlendStages = kTextureStages;
    caps.MaxSimultaneousTextures = kTextureStages;
    caps.MaxActiveLights = 8;
    caps.MaxPrimitiveCount = kMaxPrimitiveCount;
    caps.NumSimultaneousRTs = 1;
    caps.VertexShaderVersion = adapter.vertexShaderVersion;
    caps.MaxVertexShaderConst = adapter.vertexShaderVersion != 0 ? kVertexShaderConstants : 0;
    caps.PixelShaderVersion = adapter.pixelShaderVersion;
    return caps;
}

UINT PixelShaderConstantCount(const D3DCAPS9& caps) {
    if (caps.PixelShaderVersion == 0) return 0;
    switch (D3DSHADER_VERSION_MAJOR(caps.PixelShaderVersion)) {
        case 1: return 8;
        case 2: return 32;
        default: return 224;
    }
}

}  // namespace platform::d3d9
