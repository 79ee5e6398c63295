// Making the textures of an image block, and taking all of them down and up
// again around a new device.
#include "framework/graphics/textures/graphic_textures.h"

#include <cstring>

#include "framework/base/log.h"
#include "framework/graphics/device/device_resource_locks.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/shaders/shader_handles.h"

namespace {

bool IsCompressedIndex(int formatIndex) {
    return formatIndex >= kTextureFormatDxt1 && formatIndex < kTextureFormatDxt1 + 5;
}

// Every level of a fresh managed texture starts at 0.
void ZeroLevels(IDirect3DTexture9* texture, int levels, int height) {
    for (int level = 0; level < levels; ++level) {
        const LockedTextureLevel locked(texture, static_cast<UINT>(level), nullptr, 0);
        if (!locked.held()) continue;
        const int levelHeight = height >> level > 0 ? height >> level : 1;
        std::memset(locked.bits(), 0, static_cast<size_t>(locked.pitch()) * static_cast<size_t>(levelHeight));
    }
}

int CreatePieceTexture(IDirect3DDevice9* device, const GraphicImage& image, D3DFORMAT format, TexturePiece& piece) {
    const int levels = image.mipLevelCount > 0 ? image.mipLevelCount : 1;
    IDirect3DTexture9* texture = nullptr;
    if (device->CreateTexture(static_cast<UINT>(piece.textureWidth), static_cast<UINT>(piece.textureHeight),
                              static_cast<UINT>(levels), image.renderTarget ? D3DUSAGE_RENDERTARGET : 0u, format,
                              image.unmanaged ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED, &texture, nullptr) != D3D_OK) {
        WriteLogLine("テクスチャの作成に失敗しました\n");
        return -1;
    }
    IDirect3DSurface9* surface = nullptr;
    if (texture->GetSurfaceLevel(0, &surface) != D3D_OK) {
        texture->Release();
        WriteLogLine("テクスチャのサーフェスアドレスの取得に失敗しました\n");
        return -1;
    }
    piece.texture = texture;
    piece.surface = surface;
    if (image.renderTarget) {
        device->ColorFill(surface, nullptr, 0);
    } else if (!image.unmanaged && !IsCompressedIndex(image.formatIndex)) {
        ZeroLevels(texture, levels, piece.textureHeight);
    }
    return 0;
}

template <class Visit>
void ForEachGraphicRecord(Visit visit) {
    const HandleTable& table = GraphicHandleTable;
    for (int slot = 0; slot < table.highWater; ++slot)
        if (table.slots[slot] != nullptr) visit(*static_cast<GraphicRecord*>(table.slots[slot]));
}

template <class Visit>
void ForEachShaderRecord(Visit visit) {
    const HandleTable& table = ShaderHandleTable;
    for (int slot = 0; slot < table.highWater; ++slot)
        if (table.slots[slot] != nullptr) visit(*static_cast<ShaderRecord*>(table.slots[slot]));
}

}  // namespace

int CreateGraphicTexture(GraphicImage* image) {
    if (!image->hardware) return 0;
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return -1;
    const D3DFORMAT format = image->formatIndex >= 0 && image->formatIndex < kTextureFormatCount
                                 ? Direct3DDevice.textureFormats[image->formatIndex]
                                 : D3DFMT_UNKNOWN;
    if (format == D3DFMT_UNKNOWN) {
        WriteLogLine("指定のフォーマットで作成できるテクスチャフォーマットがありませんでした\n");
        return -1;
    }
    for (int i = 0; i < image->pieceCount; ++i) {
        TexturePiece& piece = image->pieces[i];
        if (piece.texture != nullptr) continue;
        if (CreatePieceTexture(device, *image, format, piece) != 0) return -1;
    }
    return 0;
}

int ReleaseAllGraphicTextures() {
    ForEachGraphicRecord([](GraphicRecord& record) {
        if (record.image != nullptr) ReleaseGraphicTextures(record.image);
    });
    ForEachShaderRecord([](ShaderRecord& record) {
        if (record.shader == nullptr) return;
        record.shader->Release();
        record.shader = nullptr;
    });
    return 0;
}

int RecreateAllGraphicTextures() {
    ForEachGraphicRecord([](GraphicRecord& record) {
        if (record.image != nullptr) CreateGraphicTexture(record.image);
    });
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    ForEachShaderRecord([device](ShaderRecord& record) {
        if (record.shader != nullptr || record.byteCode == nullptr) return;
        const auto* code = static_cast<const DWORD*>(record.byteCode);
        if (record.pixelShader) {
            IDirect3DPixelShader9* shader = nullptr;
            if (device->CreatePixelShader(code, &shader) == D3D_OK) record.shader = shader;
        } else {
            IDirect3DVertexShader9* shader = nullptr;
            if (device->CreateVertexShader(code, &shader) == D3D_OK) record.shader = shader;
        }
    });
    return 0;
}
