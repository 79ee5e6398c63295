// Writing the hardware draws' vertices into the batch. Positions, depth and
// texture coordinates are written for every vertex; rhw and the specular
// colour are the batch buffers' presets, and the colour goes into the first
// vertex of each triangle only (the draws shade flat).
#include "framework/graphics/draws/device_draw_vertices.h"

#include "framework/graphics/draws/blend_states.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

// The corners of the two triangles, in order.
constexpr int kQuadOrder[6] = {kCornerTopLeft, kCornerTopRight,    kCornerBottomLeft,
                               kCornerBottomRight, kCornerBottomLeft, kCornerTopRight};

void Advance(int count) {
    VertexBatch& batch = DrawVertexBatch;
    batch.primitiveType = D3DPT_TRIANGLELIST;
    batch.writePointer += static_cast<size_t>(count) * BatchFormats[batch.format].stride;
    batch.vertexCount += count;
}

}  // namespace

BlendMapping CurrentBlendMapping() {
    const DrawSettings& settings = CurrentDrawSettings;
    BlendMapping blend = {0.0f, 0.0f, settings.blendTextureReciprocalWidth, settings.blendTextureReciprocalHeight};
    if (const GraphicRecord* record = GetGraphicRecord(settings.blendGraphic)) {
        blend.x = static_cast<float>(record->x);
        blend.y = static_cast<float>(record->y);
    }
    return blend;
}

IDirect3DTexture9* FirstDrawTexture(const GraphicRecord* record) {
    if (record->drawPieceCount < 1 || record->drawPieces == nullptr) return nullptr;
    return PieceTexture(record->drawPieces[0].piece);
}

void ClampCorner(DrawCorner& corner, const float bounds[4], const ClampRates& rates) {
    const float x = corner.x < bounds[0] ? bounds[0] : (corner.x > bounds[2] ? bounds[2] : corner.x);
    const float y = corner.y < bounds[1] ? bounds[1] : (corner.y > bounds[3] ? bounds[3] : corner.y);
    const float dx = x - corner.x;
    const float dy = y - corner.y;
    corner.x = x;
    corner.y = y;
    corner.tu += dx * rates.tu;
    corner.tv += dy * rates.tv;
    corner.bu += dx * rates.bu;
    corner.bv += dy * rates.bv;
}

void MakeRoomInBatch(int count, bool fillToCapacity) {
    const VertexBatch& batch = DrawVertexBatch;
    if (batch.userVertexCount > 0) {
        FlushVertexBatch();
        return;
    }
    if (batch.vertexCount == 0) return;
    const int capacity = BatchFormats[batch.format].capacity;
    const bool full = fillToCapacity ? batch.vertexCount + count > capacity : batch.vertexCount + count >= capacity;
    if (batch.primitiveType != D3DPT_TRIANGLELIST || full) FlushVertexBatch();
}

void PrepareBatchForPiece(IDirect3DTexture9* texture) {
    DeviceStateCache& cache = DeviceStates;
    if (texture != cache.texture) SetCurrentDrawTexture(texture);
    if (cache.statesDirty || cache.textureDirty) ApplyDrawBlendStates(nullptr, 1, 0);
    MakeRoomInBatch(6);
}

void AppendQuad(const DrawCorner corners[4]) {
    const VertexBatch& batch = DrawVertexBatch;
    const DrawSettings& settings = CurrentDrawSettings;
    const DWORD colour = settings.diffuseColor;
    if (batch.format == kVertexFormatTexture) {
        auto* vertices = reinterpret_cast<BatchVertexTex1*>(batch.writePointer);
        for (int i = 0; i < 6; ++i) {
            const DrawCorner& corner = corners[kQuadOrder[i]];
            BatchVertexTex1& vertex = vertices[i];
            vertex.x = corner.x;
            vertex.y = corner.y;
            vertex.z = settings.depth2D;
            vertex.u = corner.tu;
            vertex.v = corner.tv;
            if (i % 3 == 0) vertex.diffuse = colour;
        }
    } else if (batch.format == kVertexFormatBlendTexture) {
        auto* vertices = reinterpret_cast<BatchVertexTex2*>(batch.writePointer);
        for (int i = 0; i < 6; ++i) {
            const DrawCorner& corner = corners[kQuadOrder[i]];
            BatchVertexTex2& vertex = vertices[i];
            vertex.x = corner.x;
            vertex.y = corner.y;
            vertex.z = settings.depth2D;
            vertex.u0 = corner.bu;
            vertex.v0 = corner.bv;
            vertex.u1 = corner.tu;
            vertex.v1 = corner.tv;
            if (i % 3 == 0) vertex.diffuse = colour;
        }
    } else {
        return;
    }
    Advance(6);
}

void AppendPlainQuad(float left, float top, float right, float bottom, DWORD colour) {
    const VertexBatch& batch = DrawVertexBatch;
    if (batch.format != kVertexFormatPlain) return;
    const float xs[4] = {left, right, left, right};
    const float ys[4] = {top, top, bottom, bottom};
    const float depth = CurrentDrawSettings.depth2D;
    auto* vertices = reinterpret_cast<BatchVertex*>(batch.writePointer);
    for (int i = 0; i < 6; ++i) {
        BatchVertex& vertex = vertices[i];
        vertex.x = xs[kQuadOrder[i]];
        vertex.y = ys[kQuadOrder[i]];
        vertex.z = depth;
        if (i % 3 == 0) vertex.diffuse = colour;
    }
    Advance(6);
}
