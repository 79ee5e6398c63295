// The ids QueryInterface answers to for the Direct3D 9 and DirectDraw
// interfaces. Private to platform/d3d9.
#pragma once

#include "platform/com/object_base.h"
#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/ddraw.h"

namespace platform::com {

#define KILN_D3D9_INTERFACE_ID(Interface)                              \
    template <>                                                         \
    struct InterfaceId<Interface> {                                     \
        static constexpr const GUID& value = IID_##Interface;           \
    }

KILN_D3D9_INTERFACE_ID(IDirect3D9);
KILN_D3D9_INTERFACE_ID(IDirect3DDevice9);
KILN_D3D9_INTERFACE_ID(IDirect3DSwapChain9);
KILN_D3D9_INTERFACE_ID(IDirect3DSurface9);
KILN_D3D9_INTERFACE_ID(IDirect3DTexture9);
KILN_D3D9_INTERFACE_ID(IDirect3DVertexBuffer9);
KILN_D3D9_INTERFACE_ID(IDirect3DIndexBuffer9);
KILN_D3D9_INTERFACE_ID(IDirect3DVertexDeclaration9);
KILN_D3D9_INTERFACE_ID(IDirect3DVertexShader9);
KILN_D3D9_INTERFACE_ID(IDirect3DPixelShader9);
KILN_D3D9_INTERFACE_ID(IDirectDraw7);

#undef KILN_D3D9_INTERFACE_ID

}  // namespace platform::com
