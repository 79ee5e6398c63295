// Clears and draws from memory. A draw needs an open scene, an FVF or a
// declaration that fits within the stride, and (indexed) indices that stay
// inside the vertices it names; a lost device takes every clear and draw and
// makes nothing of it.
#include "platform/d3d9/device.h"
#include "platform/d3d9/vertex_declaration.h"
#include "platform/d3d9/vertex_layouts.h"

namespace platform::d3d9 {
namespace {

// The vertices (or indices) a draw of `primitives` of `type` reads; 0 for an
// unknown type.
uint64_t VerticesOf(D3DPRIMITIVETYPE type, uint64_t primitives) {
    switch (type) {
        case D3DPT_POINTLIST: return primitives;
        case D3DPT_LINELIST: return primitives * 2;
        case D3DPT_LINESTRIP: return primitives + 1;
        case D3DPT_TRIANGLELIST: return primitives * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN: return primitives + 2;
        default: return 0;
    }
}

}  // namespace

HRESULT WINAPI Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    HRESULT result = D3D_OK;
    const SurfaceMemory* depth = state_.depthStencil != nullptr ? &state_.depthStencil->Memory() : nullptr;
    if (flags == 0 || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 ||
        (count != 0 && rects == nullptr) || ((flags & D3DCLEAR_ZBUFFER) != 0 && depth == nullptr) ||
        ((flags & D3DCLEAR_STENCIL) != 0 && (depth == nullptr || !depth->format.stencil)) || !(z >= 0.0f && z <= 1.0f)) {
        result = D3DERR_INVALIDCALL;
    } else if (!core_->Lost() && !(count == 0 && rects != nullptr)) {
        // Rectangles with a count of 0 clear nothing.
        core_->renderer->Clear(state_, ClearCall{count, rects, flags, color, z, stencil});
    }
    CallArguments arguments;
    arguments.Add(Int(count));
    for (DWORD i = 0; rects != nullptr && i < count && result == D3D_OK; ++i)
        arguments.Add(Int(rects[i].x1)).Add(Int(rects[i].y1)).Add(Int(rects[i].x2)).Add(Int(rects[i].y2));
    arguments.Add(Hex(flags)).Add(Hex(color)).Add(Real(z)).Add(Int(stencil));
    return Done(result, "Clear", arguments);
}

HRESULT WINAPI Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) {
    const uint64_t vertexCount = VerticesOf(type, primitiveCount);
    const UINT vertexSize = state_.fvf != 0 ? FvfVertexSize(state_.fvf)
                            : state_.declaration != nullptr ? state_.declaration->VertexSize()
                                                            : 0;
    HRESULT result = D3D_OK;
    std::span<const BYTE> bytes;
    if (!core_->inScene || vertexCount == 0 || primitiveCount > kMaxPrimitiveCount || vertices == nullptr ||
        stride == 0 || stride > kMaxVertexStride || vertexSize == 0 || stride < vertexSize) {
        result = D3DERR_INVALIDCALL;
    } else {
        bytes = std::span<const BYTE>(static_cast<const BYTE*>(vertices), vertexCount * stride);
        if (!core_->Lost()) {
            const DrawCall draw{type, primitiveCount, bytes.data(), stride, static_cast<UINT>(vertexCount), 0,
                                nullptr, D3DFMT_UNKNOWN, 0};
            core_->renderer->Draw(state_, draw);
        }
    }
    return Done(result, "DrawPrimitiveUP", CallArguments().Add(Int(type)).Add(Int(primitiveCount)).Add(Int(stride)),
                bytes);
}

HRESULT WINAPI Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT vertexCount,
                                              UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                              const void* vertices, UINT stride) {
    const uint64_t indexCount = VerticesOf(type, primitiveCount);
    const UINT indexSize = indexFormat == D3DFMT_INDEX16 ? 2 : indexFormat == D3DFMT_INDEX32 ? 4 : 0;
    const UINT vertexSize = state_.fvf != 0 ? FvfVertexSize(state_.fvf)
                            : state_.declaration != nullptr ? state_.declaration->VertexSize()
                                                            : 0;
    const uint64_t vertexEnd = uint64_t{minVertexIndex} + vertexCount;
    bool right = core_->inScene && indexCount != 0 && primitiveCount <= kMaxPrimitiveCount && indices != nullptr &&
                 indexSize != 0 && vertices != nullptr && vertexCount != 0 && vertexEnd <= 0xFFFFFFFFull &&
                 stride != 0 && stride <= kMaxVertexStride && vertexSize != 0 && stride >= vertexSize;
    // Every index must name one of the vertices the call gives.
    for (uint64_t i = 0; right && i < indexCount; ++i) {
        const uint64_t index = indexSize == 2 ? static_cast<const WORD*>(indices)[i] : static_cast<const DWORD*>(indices)[i];
        right = index >= minVertexIndex && index < vertexEnd;
    }
    std::span<const BYTE> vertexBytes;
    std::span<const BYTE> indexBytes;
    if (right) {
        vertexBytes = std::span<const BYTE>(static_cast<const BYTE*>(vertices), vertexEnd * stride);
        indexBytes = std::span<const BYTE>(static_cast<const BYTE*>(indices), indexCount * indexSize);
        if (!core_->Lost()) {
            const DrawCall draw{type,         primitiveCount,    vertexBytes.data(), stride,
                                vertexCount,  minVertexIndex,    indices,            indexFormat,
                                static_cast<UINT>(indexCount)};
            core_->renderer->Draw(state_, draw);
        }
    }
    return Done(right ? D3D_OK : D3DERR_INVALIDCALL, "DrawIndexedPrimitiveUP",
                CallArguments().Add(Int(type)).Add(Int(minVertexIndex)).Add(Int(vertexCount)).Add(Int(primitiveCount))
                    .Add(Int(indexFormat)).Add(Int(stride)),
                vertexBytes, indexBytes);
}

}  // namespace platform::d3d9
