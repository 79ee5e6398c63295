// Vertex and index buffers: bytes in memory that a lock hands out, locked
// any number of times over (each lock needs its unlock). Nothing draws from
// them here: the draws of this system send their vertices from memory.
// Private to platform/d3d9.
#pragma once

#include <memory>
#include <vector>

#include "platform/d3d9/device_core.h"
#include "platform/d3d9/interface_ids.h"

namespace platform::d3d9 {

template <class Interface>
class Buffer final : public com::Object<Buffer<Interface>, Interface> {
public:
    // Throws std::bad_alloc when the bytes cannot be had.
    Buffer(std::shared_ptr<DeviceCore> core, UINT length) : core_(std::move(core)), bytes_(length, 0) {}

    HRESULT WINAPI Lock(UINT offset, UINT size, void** data, DWORD flags) override {
        if (data == nullptr) return D3DERR_INVALIDCALL;
        *data = nullptr;
        if (offset > bytes_.size() || (size != 0 && size > bytes_.size() - offset)) return D3DERR_INVALIDCALL;
        if ((flags & ~kBufferLockFlags) != 0) return D3DERR_INVALIDCALL;
        ++locks_;
        *data = bytes_.data() + offset;
        return D3D_OK;
    }

    HRESULT WINAPI Unlock() override {
        if (locks_ == 0) return D3DERR_INVALIDCALL;
        --locks_;
        return D3D_OK;
    }

private:
    ~Buffer() override = default;

    // READONLY and DISCARD, and the hints NOSYSLOCK, NOOVERWRITE and DONOTWAIT.
    static constexpr DWORD kBufferLockFlags = D3DLOCK_READONLY | D3DLOCK_DISCARD | 0x0800u | 0x1000u | 0x4000u;

    std::shared_ptr<DeviceCore> core_;
    std::vector<BYTE> bytes_;
    UINT locks_ = 0;
};

using VertexBuffer = Buffer<IDirect3DVertexBuffer9>;
using IndexBuffer = Buffer<IDirect3DIndexBuffer9>;

}  // namespace platform::d3d9
