// Vertex and pixel shader objects: the byte code they were made from, kept
// for GetFunction and for a renderer that would one day run them. Private to
// platform/d3d9.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "platform/d3d9/device_core.h"
#include "platform/d3d9/interface_ids.h"

namespace platform::d3d9 {

template <class Interface>
class Shader final : public com::Object<Shader<Interface>, Interface> {
public:
    Shader(std::shared_ptr<DeviceCore> core, const DWORD* code, size_t tokens)
        : core_(std::move(core)), code_(code, code + tokens) {}

    HRESULT WINAPI GetFunction(void* data, UINT* size) override {
        if (size == nullptr) return D3DERR_INVALIDCALL;
        const UINT bytes = static_cast<UINT>(code_.size() * sizeof(DWORD));
        if (data == nullptr) {
            *size = bytes;
            return D3D_OK;
        }
        if (*size < bytes) return D3DERR_INVALIDCALL;
        std::memcpy(data, code_.data(), bytes);
        *size = bytes;
        return D3D_OK;
    }

    const std::vector<DWORD>& Code() const { return code_; }
    const std::shared_ptr<DeviceCore>& Core() const { return core_; }

    static Shader* From(Interface* shader) { return dynamic_cast<Shader*>(shader); }

private:
    ~Shader() override = default;

    std::shared_ptr<DeviceCore> core_;
    std::vector<DWORD> code_;
};

using VertexShader = Shader<IDirect3DVertexShader9>;
using PixelShader = Shader<IDirect3DPixelShader9>;

}  // namespace platform::d3d9
