// A texture: its levels, each a surface's bytes of half the size of the one
// before (never below 1), and the level surfaces GetSurfaceLevel hands out,
// which share the texture's reference count. Private to platform/d3d9.
#pragma once

#include <memory>
#include <vector>

#include "platform/d3d9/device_core.h"
#include "platform/d3d9/interface_ids.h"
#include "platform/d3d9/surface.h"
#include "platform/d3d9/surface_memory.h"

namespace platform::d3d9 {

class Texture final : public com::Object<Texture, IDirect3DTexture9> {
public:
    // Throws std::bad_alloc when the levels' bytes cannot be had.
    Texture(std::shared_ptr<DeviceCore> core, const FormatInfo& format, UINT width, UINT height, UINT levels,
            DWORD usage, D3DPOOL pool);

    HRESULT WINAPI GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT WINAPI LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT WINAPI UnlockRect(UINT level) override;

    UINT LevelCount() const { return static_cast<UINT>(levels_.size()); }
    SurfaceMemory& Level(UINT level) { return *levels_[level]; }
    D3DPOOL Pool() const { return pool_; }
    const std::shared_ptr<DeviceCore>& Core() const { return core_; }

    // Ours or null.
    static Texture* From(IDirect3DBaseTexture9* texture) { return dynamic_cast<Texture*>(texture); }

    // The number of levels of a full chain down to 1 by 1.
    static UINT FullChainLevels(UINT width, UINT height);

private:
    ~Texture() override;

    std::shared_ptr<DeviceCore> core_;
    D3DPOOL pool_;
    std::vector<std::unique_ptr<SurfaceMemory>> levels_;
    std::vector<Surface*> surfaces_;  // made on first use
};

}  // namespace platform::d3d9
