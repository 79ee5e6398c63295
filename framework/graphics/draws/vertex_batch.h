// The vertex batch: hardware draws append pre-transformed vertices here, and
// the batch reaches the device in one DrawPrimitiveUP call when something
// forces it (a state change, a texture change, a new primitive type or
// vertex format, a full buffer, a clear, a present, a read of the target, a
// new draw target). A second list holds 3D triangles in world coordinates,
// drawn before the batch with the world matrix set to identity.
#pragma once

#include "platform/d3d9/d3d9.h"

// Format 0: no texture.
struct BatchVertex {
    float x, y, z, rhw;
    DWORD diffuse;
};
// Format 1: one texture.
struct BatchVertexTex1 {
    float x, y, z, rhw;
    DWORD diffuse;
    float u, v;
};
// Format 2: two textures.
struct BatchVertexTex2 {
    float x, y, z, rhw;
    DWORD diffuse;
    DWORD specular;
    float u0, v0, u1, v1;
};
// Format 3: the user-vertex list, in world coordinates.
struct UserVertex {
    float x, y, z;
    DWORD diffuse;
    float u, v;
};

constexpr int kBatchFormatCount = 4;
constexpr int kUserVertexFormat = 3;

struct BatchFormat {
    DWORD fvf;
    UINT stride;
    int capacity;  // vertices
};
extern const BatchFormat BatchFormats[kBatchFormatCount];

struct VertexBatch {
    int format;  // 0, 1 or 2, chosen by the blend states
    D3DPRIMITIVETYPE primitiveType;
    int vertexCount;
    BYTE* writePointer;
    int userVertexCount;  // always a triangle list
    BYTE* userWritePointer;
    // Set when the blend graphic hides everything: a flush draws nothing.
    int discard;
};
extern VertexBatch DrawVertexBatch;

// The start of a format's buffer.
BYTE* BatchBuffer(int format);
// Every vertex of formats 0 to 2 gets z 0.0 and rhw 1.0, and every vertex of
// format 2 an opaque white specular colour; draws write neither.
void PresetBatchBuffers();
// Makes `format` (0 to 2) the current one and points the write pointer at
// its buffer; vertices queued in another format are drawn first.
void SelectBatchFormat(int format);

// Draws and empties the batch; -1 without a device, else 0.
int FlushVertexBatch();
// Draws a grid of format-1 vertices (columns x rows, row by row) as indexed
// triangle strips. 0 without a device or when drawn; -1 when columns or rows
// is below 2, or the grid is too wide for one strip row or has more vertices
// than 16-bit indices reach.
int DrawIndexedUserVertices(int columns, const BatchVertexTex1* vertices, int rows);
// The same for a grid of format-2 vertices (the graphic and the blend graphic).
int DrawIndexedUserVertices(int columns, const BatchVertexTex2* vertices, int rows);
