// The one display adapter as the machine profile describes it: its display
// modes and current mode (the display's, through EnumDisplaySettingsA), the
// formats it makes resources in, and its caps. Private to platform/d3d9.
#pragma once

#include <vector>

#include "platform/d3d9/d3d9.h"

namespace platform::d3d9 {

// The format of a display at a colour depth: X8R8G8B8 at 32 bits, the
// profile's 16-bit layout at 16, R8G8B8 at 24, else unknown.
D3DFORMAT DisplayFormatOfDepth(DWORD bitsPerPixel);

D3DDISPLAYMODE CurrentDisplayMode();
// The display modes in `format`, in the display's order.
std::vector<D3DDISPLAYMODE> DisplayModesIn(D3DFORMAT format);

// Whether the adapter makes a resource of `type` in `format` for `usage`
// (only D3DUSAGE_RENDERTARGET and D3DUSAGE_DEPTHSTENCIL choose the list;
// D3DUSAGE_DYNAMIC and D3DUSAGE_WRITEONLY change nothing).
bool AdapterMakes(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format);

// Whether `format` can be a render target: the profile's render-target list.
bool IsRenderTargetFormat(D3DFORMAT format);
bool IsDepthStencilFormat(D3DFORMAT format);

D3DCAPS9 AdapterCaps();

// The highest number of float constants a pixel shader of the caps' version
// has (0 without pixel shaders).
UINT PixelShaderConstantCount(const D3DCAPS9& caps);

// Constants of the adapter that are not in the profile.
constexpr DWORD kTextureStages = 8;
constexpr DWORD kSamplers = 16;
constexpr DWORD kVertexShaderConstants = 256;
constexpr DWORD kVertexShaderBoolConstants = 16;
constexpr DWORD kMaxPrimitiveCount = 0xFFFFF;
constexpr UINT kMaxVertexStride = 255;
// The largest side of any surface: bounds what one allocation may ask for.
constexpr UINT kMaxSurfaceSide = 16384;

}  // namespace platform::d3d9
