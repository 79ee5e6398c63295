// The batch's buffers, one per vertex format and each a little under 64 KB,
// live for the program; a flush draws what they hold in at most two calls
// and empties them whether or not the device drew.
#include "framework/graphics/draws/vertex_batch.h"

#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draw_settings.h"
#include "framework/window/main_window_state.h"

static_assert(sizeof(BatchVertex) == 20 && sizeof(BatchVertexTex1) == 28 && sizeof(BatchVertexTex2) == 40 &&
              sizeof(UserVertex) == 24);

const BatchFormat BatchFormats[kBatchFormatCount] = {
    {D3DFVF_XYZRHW | D3DFVF_DIFFUSE, sizeof(BatchVertex), 3225},
    {D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, sizeof(BatchVertexTex1), 2340},
    {D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2, sizeof(BatchVertexTex2), 1638},
    {D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, sizeof(UserVertex), 2730},
};

namespace {

BatchVertex PlainVertices[3225];
BatchVertexTex1 TexturedVertices[2340];
BatchVertexTex2 TwoTextureVertices[1638];
UserVertex UserVertices[2730];

BYTE* const Buffers[kBatchFormatCount] = {
    reinterpret_cast<BYTE*>(PlainVertices),
    reinterpret_cast<BYTE*>(TexturedVertices),
    reinterpret_cast<BYTE*>(TwoTextureVertices),
    reinterpret_cast<BYTE*>(UserVertices),
};

void SendFvf(IDirect3DDevice9* device, DWORD fvf) {
    if (DeviceStates.fvf == fvf) return;
    device->SetFVF(fvf);
    DeviceStates.fvf = fvf;
}

// The primitives `vertices` vertices of `type` make; divisions truncate.
int PrimitiveCount(D3DPRIMITIVETYPE type, int vertices) {
    switch (type) {
        case D3DPT_POINTLIST: return vertices;
        case D3DPT_LINELIST: return vertices / 2;
        case D3DPT_LINESTRIP: return vertices - 1;
        case D3DPT_TRIANGLELIST: return vertices / 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN: return vertices - 2;
    }
    return 0;
}

void EmptyBatch() {
    VertexBatch& batch = DrawVertexBatch;
    batch.vertexCount = 0;
    batch.userVertexCount = 0;
    batch.userWritePointer = Buffers[kUserVertexFormat];
    batch.writePointer = Buffers[batch.format];
}

void DrawBatch(IDirect3DDevice9* device) {
    const VertexBatch& batch = DrawVertexBatch;
    // Too few vertices for one primitive draw nothing: a count below 1 would
    // read far past the buffer.
    if (batch.userVertexCount > 0 && batch.userVertexCount / 3 > 0) {
        SendFvf(device, BatchFormats[kUserVertexFormat].fvf);
        D3DMATRIX identity = {};
        for (int i = 0; i < 4; ++i) identity.m[i][i] = 1.0f;
        SetDeviceWorldTransform(&identity);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(batch.userVertexCount / 3),
                                Buffers[kUserVertexFormat], BatchFormats[kUserVertexFormat].stride);
        const D3DMATRIX world = ToDeviceMatrix(CurrentDrawSettings.worldMatrix);
        SetDeviceWorldTransform(&world);
    }
    const int primitives = PrimitiveCount(batch.primitiveType, batch.vertexCount);
    if (batch.vertexCount > 0 && primitives > 0) {
        const BatchFormat& format = BatchFormats[batch.format];
        SendFvf(device, format.fvf);
        device->DrawPrimitiveUP(batch.primitiveType, static_cast<UINT>(primitives), Buffers[batch.format],
                                format.stride);
    }
}

}  // namespace

VertexBatch DrawVertexBatch = {0, D3DPT_TRIANGLELIST, 0, Buffers[0], 0, Buffers[kUserVertexFormat], 0};

BYTE* BatchBuffer(int format) { return Buffers[format]; }

void SelectBatchFormat(int format) {
    VertexBatch& batch = DrawVertexBatch;
    if (format == batch.format || format < 0 || format >= kUserVertexFormat) return;
    // Queued vertices are drawn in the layout they were written in.
    if (batch.vertexCount > 0) FlushVertexBatch();
    batch.format = format;
    batch.vertexCount = 0;
    batch.writePointer = Buffers[format];
}

void PresetBatchBuffers() {
    for (BatchVertex& vertex : PlainVertices) {
        vertex.z = 0.0f;
        vertex.rhw = 1.0f;
    }
    for (BatchVertexTex1& vertex : TexturedVertices) {
        vertex.z = 0.0f;
        vertex.rhw = 1.0f;
    }
    for (BatchVertexTex2& vertex : TwoTextureVertices) {
        vertex.z = 0.0f;
        vertex.rhw = 1.0f;
        vertex.specular = 0xFFFFFFFFu;
    }
}

int FlushVertexBatch() {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return -1;
    const VertexBatch& batch = DrawVertexBatch;
    // Nothing pending: no device call, and no scene opened.
    if (batch.vertexCount == 0 && batch.userVertexCount == 0) {
        EmptyBatch();
        return 0;
    }
    // Once the program is ending, what was queued is dropped.
    if (!IsQuitPosted()) {
        BeginDeviceScene();
        if (!batch.discard) DrawBatch(device);
    }
    EmptyBatch();
    return 0;
}
