// A vertex declaration object: its elements, as a renderer would read the
// vertices. Private to platform/d3d9.
#pragma once

#include <memory>
#include <vector>

#include "platform/d3d9/device_core.h"
#include "platform/d3d9/interface_ids.h"

namespace platform::d3d9 {

class VertexDeclaration final : public com::Object<VertexDeclaration, IDirect3DVertexDeclaration9> {
public:
    VertexDeclaration(std::shared_ptr<DeviceCore> core, std::vector<D3DVERTEXELEMENT9> elements, UINT vertexSize)
        : core_(std::move(core)), elements_(std::move(elements)), vertexSize_(vertexSize) {}

    const std::vector<D3DVERTEXELEMENT9>& Elements() const { return elements_; }
    UINT VertexSize() const { return vertexSize_; }  // of stream 0
    const std::shared_ptr<DeviceCore>& Core() const { return core_; }

    static VertexDeclaration* From(IDirect3DVertexDeclaration9* declaration) {
        return dynamic_cast<VertexDeclaration*>(declaration);
    }

private:
    ~VertexDeclaration() override = default;

    std::shared_ptr<DeviceCore> core_;
    std::vector<D3DVERTEXELEMENT9> elements_;
    UINT vertexSize_;
};

}  // namespace platform::d3d9
