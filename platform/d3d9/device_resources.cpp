// The makers of surfaces, textures, buffers, declarations and shaders. Each
// checks its arguments as Direct3D does (D3DERR_INVALIDCALL), then the
// machine profile's injected failure, then makes the object with one
// reference for the caller.
#include <new>

#include "platform/d3d9/adapter.h"
#include "platform/d3d9/buffers.h"
#include "platform/d3d9/device.h"
#include "platform/d3d9/shader_byte_code.h"
#include "platform/d3d9/texture.h"
#include "platform/d3d9/vertex_declaration.h"
#include "platform/d3d9/vertex_layouts.h"
#include "platform/profile/machine_profile.h"

namespace platform::d3d9 {
namespace {

const Direct3DFailures& Failures() { return Profile().failures.direct3d; }

bool SideFits(UINT side, UINT most) { return side >= 1 && side <= most; }

// Compressed surfaces start on whole blocks; video pixels come in pairs (and
// rows in pairs for the planar format).
bool SizeSuitsFormat(const FormatInfo& format, UINT width, UINT height) {
    switch (format.kind) {
        case FormatKind::Compressed: return width % 4 == 0 && height % 4 == 0;
        case FormatKind::PackedVideo: return width % 2 == 0;
        case FormatKind::PlanarVideo: return width % 2 == 0 && height % 2 == 0;
        default: return true;
    }
}

}  // namespace

HRESULT WINAPI Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) {
    HRESULT result = D3D_OK;
    Texture* made = nullptr;
    const FormatInfo* info = FindFormat(format);
    const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    const bool dynamic = (usage & D3DUSAGE_DYNAMIC) != 0;
    if (texture != nullptr) *texture = nullptr;
    if (texture == nullptr || sharedHandle != nullptr || info == nullptr || pool > D3DPOOL_SYSTEMMEM ||
        (usage & ~(D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC)) != 0 || (renderTarget && pool != D3DPOOL_DEFAULT) ||
        (dynamic && pool == D3DPOOL_MANAGED) || !AdapterMakes(usage, D3DRTYPE_TEXTURE, format) ||
        !SideFits(width, core_->caps.MaxTextureWidth) || !SideFits(height, core_->caps.MaxTextureHeight) ||
        ((core_->caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0 && width != height) ||
        !SizeSuitsFormat(*info, width, height) || levels > Texture::FullChainLevels(width, height)) {
        result = D3DERR_INVALIDCALL;
    } else if (Failures().createTexture) {
        result = D3DERR_OUTOFVIDEOMEMORY;
    } else {
        try {
            made = new Texture(core_, *info, width, height, levels == 0 ? Texture::FullChainLevels(width, height) : levels,
                               usage, pool);
            *texture = made;
        } catch (const std::bad_alloc&) {
            result = E_OUTOFMEMORY;
        }
    }
    return Done(result, "CreateTexture",
                CallArguments().Add(Int(width)).Add(Int(height)).Add(Int(levels)).Add(Hex(usage)).Add(Int(format))
                    .Add(Int(pool)).Add(Obj(made)));
}

HRESULT WINAPI Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                          IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) {
    HRESULT result = D3D_OK;
    VertexBuffer* made = nullptr;
    if (buffer != nullptr) *buffer = nullptr;
    if (buffer == nullptr || sharedHandle != nullptr || length == 0 || pool > D3DPOOL_SYSTEMMEM ||
        (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC)) != 0 ||
        ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED) ||
        (fvf != 0 && (FvfVertexSize(fvf) == 0 || length < FvfVertexSize(fvf)))) {
        result = D3DERR_INVALIDCALL;
    } else if (Failures().createVertexBuffer) {
        result = D3DERR_OUTOFVIDEOMEMORY;
    } else {
        try {
            made = new VertexBuffer(core_, length);
            *buffer = made;
        } catch (const std::bad_alloc&) {
            result = E_OUTOFMEMORY;
        }
    }
    return Done(result, "CreateVertexBuffer",
                CallArguments().Add(Int(length)).Add(Hex(usage)).Add(Hex(fvf)).Add(Int(pool)).Add(Obj(made)));
}

HRESULT WINAPI Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                         IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) {
    HRESULT result = D3D_OK;
    IndexBuffer* made = nullptr;
    if (buffer != nullptr) *buffer = nullptr;
    const UINT indexSize = format == D3DFMT_INDEX16 ? 2 : format == D3DFMT_INDEX32 ? 4 : 0;
    if (buffer == nullptr || sharedHandle != nullptr || indexSize == 0 || length < indexSize ||
        pool > D3DPOOL_SYSTEMMEM || (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC)) != 0 ||
        ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED)) {
        result = D3DERR_INVALIDCALL;
    } else if (Failures().createIndexBuffer) {
        result = D3DERR_OUTOFVIDEOMEMORY;
    } else {
        try {
            made = new IndexBuffer(core_, length);
            *buffer = made;
        } catch (const std::bad_alloc&) {
            result = E_OUTOFMEMORY;
        }
    }
    return Done(result, "CreateIndexBuffer",
                CallArguments().Add(Int(length)).Add(Hex(usage)).Add(Int(format)).Add(Int(pool)).Add(Obj(made)));
}

HRESULT WINAPI Device::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                          DWORD multiSampleQuality, BOOL lockable, IDirect3DSurface9** surface,
                                          HANDLE* sharedHandle) {
    HRESULT result = D3D_OK;
    Surface* made = nullptr;
    const FormatInfo* info = FindFormat(format);
    if (surface != nullptr) *surface = nullptr;
    if (surface == nullptr || sharedHandle != nullptr || info == nullptr || multiSample != D3DMULTISAMPLE_NONE ||
        multiSampleQuality != 0 || !AdapterMakes(D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, format) ||
        !SideFits(width, core_->caps.MaxTextureWidth) || !SideFits(height, core_->caps.MaxTextureHeight)) {
        result = D3DERR_INVALIDCALL;
    } else if (Failures().createRenderTarget) {
        result = D3DERR_OUTOFVIDEOMEMORY;
    } else {
        try {
            made = new Surface(core_, std::make_unique<SurfaceMemory>(*info, width, height, D3DPOOL_DEFAULT,
                                                                      D3DUSAGE_RENDERTARGET, SurfaceRole::RenderTarget,
                                                                      lockable != FALSE));
            *surface = made;
        } catch (const std::bad_alloc&) {
            result = E_OUTOFMEMORY;
        }
    }
    return Done(result, "CreateRenderTarget",
                CallArguments().Add(Int(width)).Add(Int(height)).Add(Int(format)).Add(Int(multiSample))
                    .Add(Int(multiSampleQuality)).Add(Int(lockable)).Add(Obj(made)));
}

HRESULT WINAPI Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                 D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                                                 BOOL discard, IDirect3DSurface9** surface, HANDLE* sharedHandle) {
    HRESULT result = D3D_OK;
    Surface* made = nullptr;
    const FormatInfo* info = FindFormat(format);
    if (surface != nullptr) *surface = nullptr;
    if (surface == nullptr || sharedHandle != nullptr || info == nullptr || multiSample != D3DMULTISAMPLE_NONE ||
        multiSampleQuality != 0 || !AdapterMakes(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, format) ||
        !SideFits(width, core_->caps.MaxTextureWidth) || !SideFits(height, core_->caps.MaxTextureHeight)) {
        result = D3DERR_INVALIDCALL;
    } else if (Failures().createDepthStencilSurface) {
        result = D3DERR_OUTOFVIDEOMEMORY;
    } else {
        try {
            made = new Surface(core_, std::make_unique<SurfaceMemory>(*info, width, height, D3DPOOL_DEFAULT,
                                                                      D3DUSAGE_DEPTHSTENCIL, SurfaceRole::DepthStencil,
                                                                      false));
            *surface = made;
        } catch (const std::bad_alloc&) {
            result = E_OUTOFMEMORY;
        }
    }
    return Done(result, "CreateDepthStencilSurface",
                CallArguments().Add(Int(width)).Add(Int(height)).Add(Int(format)).Add(Int(multiSample))
                    .Add(Int(multiSampleQuality)).Add(Int(discard)).Add(Obj(made)));
}

HRESULT WINAPI Device::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                   IDirect3DSurface9** surface, HANDLE* sharedHandle) {
    HRESULT result = D3D_OK;
    Surface* made = nullptr;
    const FormatInfo* info = FindFormat(format);
    if (surface != nullptr) *surface = nullptr;
    if (surface == nullptr || sharedHandle != nullptr || info == nullptr || info->kind == FormatKind::Depth ||
        (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_SYSTEMMEM) || !AdapterMakes(0, D3DRTYPE_SURFACE, format) ||
        !SideFits(width, kMaxSurfaceSide) || !SideFits(height, kMaxSurfaceSide) ||
        !SizeSuitsFormat(*info, width, height)) {
        result = D3DERR_INVALIDCALL;
    } else if (Failures().createOffscreenPlainSurface) {
        result = D3DERR_OUTOFVIDEOMEMORY;
    } else {
        try {
            made = new Surface(core_, std::make_unique<SurfaceMemory>(*info, width, height, pool, 0,
                                                                      SurfaceRole::OffscreenPlain, true));
            *surface = made;
        } catch (const std::bad_alloc&) {
            result = E_OUTOFMEMORY;
        }
    }
    return Done(result, "CreateOffscreenPlainSurface",
                CallArguments().Add(Int(width)).Add(Int(height)).Add(Int(format)).Add(Int(pool)).Add(Obj(made)));
}

HRESULT WINAPI Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                               IDirect3DVertexDeclaration9** declaration) {
    HRESULT result = D3D_OK;
    VertexDeclaration* made = nullptr;
    std::vector<D3DVERTEXELEMENT9> read;
    if (declaration != nullptr) *declaration = nullptr;
    if (declaration == nullptr || !ReadDeclaration(elements, read)) {
        result = D3DERR_INVALIDCALL;
    } else if (Failures().createVertexDeclaration) {
        result = E_OUTOFMEMORY;
    } else {
        const UINT vertexSize = DeclarationStreamZeroSize(read);
        made = new VertexDeclaration(core_, std::move(read), vertexSize);
        *declaration = made;
    }
    CallArguments arguments;
    if (made != nullptr) {
        for (const D3DVERTEXELEMENT9& element : made->Elements())
            arguments.Add(Int(element.Stream)).Add(Int(element.Offset)).Add(Int(element.Type)).Add(Int(element.Method))
                .Add(Int(element.Usage)).Add(Int(element.UsageIndex));
    }
    return Done(result, "CreateVertexDeclaration", arguments.Add(Obj(made)));
}

HRESULT WINAPI Device::CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) {
    HRESULT result = D3D_OK;
    VertexShader* made = nullptr;
    if (shader != nullptr) *shader = nullptr;
    const size_t tokens =
        shader != nullptr ? ShaderTokenCount(function, ShaderKind::Vertex, core_->caps.VertexShaderVersion) : 0;
    if (tokens == 0) {
        result = D3DERR_INVALIDCALL;
    } else if (Failures().createVertexShader) {
        result = E_OUTOFMEMORY;
    } else {
        made = new VertexShader(core_, function, tokens);
        *shader = made;
    }
    return Done(result, "CreateVertexShader", CallArguments().Add(Int(tokens)).Add(Obj(made)));
}

HRESULT WINAPI Device::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) {
    HRESULT result = D3D_OK;
    PixelShader* made = nullptr;
    if (shader != nullptr) *shader = nullptr;
    const size_t tokens =
        shader != nullptr ? ShaderTokenCount(function, ShaderKind::Pixel, core_->caps.PixelShaderVersion) : 0;
    if (tokens == 0) {
        result = D3DERR_INVALIDCALL;
    } else if (Failures().createPixelShader) {
        result = E_OUTOFMEMORY;
    } else {
        made = new PixelShader(core_, function, tokens);
        *shader = made;
    }
    return Done(result, "CreatePixelShader", CallArguments().Add(Int(tokens)).Add(Obj(made)));
}

}  // namespace platform::d3d9
