// A grid of textured vertices drawn straight from the caller's memory as
// indexed triangle strips: the rows are joined into one strip by repeating
// indices (degenerate triangles), and the strip is drawn whenever the index
// list could not take another row.
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

constexpr int kIndexListSize = 1000;
// A row takes 2 x columns indices and up to two joins; it must fit the list.
constexpr int kMostColumns = (kIndexListSize - 2) / 2;
// Every vertex must be reachable through a 16-bit index.
constexpr long kMostVertices = 65536;

template <typename Vertex>
constexpr DWORD kGridFvf = 0;
template <>
constexpr DWORD kGridFvf<BatchVertexTex1> = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
template <>
constexpr DWORD kGridFvf<BatchVertexTex2> = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;

template <typename Vertex>
void DrawStrip(IDirect3DDevice9* device, const WORD* indices, int count, int vertexCount, const Vertex* vertices) {
    if (count < 3) return;
    if (DeviceStates.fvf != kGridFvf<Vertex>) {
        device->SetFVF(kGridFvf<Vertex>);
        DeviceStates.fvf = kGridFvf<Vertex>;
    }
    device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLESTRIP, 0, static_cast<UINT>(vertexCount),
                                   static_cast<UINT>(count - 2), indices, D3DFMT_INDEX16, vertices, sizeof(Vertex));
}

template <typename Vertex>
int DrawGrid(int columns, const Vertex* vertices, int rows) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    if (columns < 2 || rows < 2 || vertices == nullptr) return -1;
    if (columns > kMostColumns || static_cast<long>(columns) * rows > kMostVertices) return -1;
    FlushVertexBatch();
    // A draw needs an open scene, which an empty batch did not open.
    BeginDeviceScene();

    const int vertexCount = columns * rows;
    WORD indices[kIndexListSize];
    int count = 0;
    int vertex = 0;
    const int lastRow = rows - 2;
    for (int row = 0; row <= lastRow; ++row) {
        if (count > kIndexListSize - (2 * columns + 2)) {
            DrawStrip(device, indices, count, vertexCount, vertices);
            count = 0;
        } else if (count > 0) {
            indices[count++] = static_cast<WORD>(vertex + columns);
        }
        for (int column = 0; column < columns; ++column) {
            indices[count++] = static_cast<WORD>(vertex + columns);
            indices[count++] = static_cast<WORD>(vertex);
            ++vertex;
        }
        if (row != lastRow) {
            indices[count] = indices[count - 1];
            ++count;
        }
    }
    DrawStrip(device, indices, count, vertexCount, vertices);
    return 0;
}

}  // namespace

int DrawIndexedUserVertices(int columns, const BatchVertexTex1* vertices, int rows) {
    return DrawGrid(columns, vertices, rows);
}

int DrawIndexedUserVertices(int columns, const BatchVertexTex2* vertices, int rows) {
    return DrawGrid(columns, vertices, rows);
}
