// Textures: levels in memory, level surfaces and level locks.
#include "platform/d3d9/texture.h"

#include <algorithm>

#include "platform/d3d9/surface_locks.h"

namespace platform::d3d9 {

Texture::Texture(std::shared_ptr<DeviceCore> core, const FormatInfo& format, UINT width, UINT height, UINT levels,
                 DWORD usage, D3DPOOL pool)
    : core_(std::move(core)), pool_(pool) {
    // Video memory can be locked only when made for it.
    const bool lockable = pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC) != 0;
    for (UINT level = 0; level < levels; ++level) {
        const UINT levelWidth = std::max(1u, width >> level);
        const UINT levelHeight = std::max(1u, height >> level);
        levels_.push_back(std::make_unique<SurfaceMemory>(format, levelWidth, levelHeight, pool, usage,
                                                          SurfaceRole::TextureLevel, lockable));
    }
    for (UINT level = 0; level < levels; ++level) {
        levels_[level]->textureLevels = levels_;
        levels_[level]->level = level;
    }
    surfaces_.assign(levels_.size(), nullptr);
}

Texture::~Texture() {
    for (Surface* surface : surfaces_)
        if (surface != nullptr) surface->DestroyPart();
    for (const auto& level : levels_) core_->renderer->Released(*level);
}

UINT Texture::FullChainLevels(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT size = std::max(width, height); size > 1; size /= 2) ++levels;
    return levels;
}

HRESULT WINAPI Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (level >= LevelCount()) return D3DERR_INVALIDCALL;
    if (surfaces_[level] == nullptr) surfaces_[level] = new Surface(core_, *levels_[level], *this);
    surfaces_[level]->AddRef();
    *surface = surfaces_[level];
    return D3D_OK;
}

HRESULT WINAPI Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (level >= LevelCount()) {
        if (locked != nullptr) *locked = D3DLOCKED_RECT{};
        return D3DERR_INVALIDCALL;
    }
    return LockSurface(*levels_[level], *core_->renderer, locked, rect, flags);
}

HRESULT WINAPI Texture::UnlockRect(UINT level) {
    if (level >= LevelCount()) return D3DERR_INVALIDCALL;
    return UnlockSurface(*levels_[level]);
}

}  // namespace platform::d3d9
