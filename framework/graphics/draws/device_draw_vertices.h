// What the hardware draws share: a corner as a draw writes it, the blend
// graphic's mapping, making room in the vertex batch and appending a quad
// as two triangles. Internal to framework/graphics.
#pragma once

#include "framework/graphics/draws/graphic_draw_parts.h"
#include "platform/d3d9/d3d9.h"

// A corner of a quad: its place on the target, the graphic's texture
// coordinate, and the blend graphic's texture coordinate.
struct DrawCorner {
    float x;
    float y;
    float tu;
    float tv;
    float bu;
    float bv;
};

// How a pixel of a graphic (from its top-left corner) maps onto the blend
// graphic's texture: the blend graphic's place in that texture and the
// texture's reciprocal size.
struct BlendMapping {
    float x;
    float y;
    float reciprocalWidth;
    float reciprocalHeight;
};
BlendMapping CurrentBlendMapping();
inline void MapBlendCoordinates(DrawCorner& corner, const BlendMapping& blend, float px, float py) {
    corner.bu = (blend.x + px) * blend.reciprocalWidth;
    corner.bv = (blend.y + py) * blend.reciprocalHeight;
}

// The texture of a graphic's first draw piece, or null.
IDirect3DTexture9* FirstDrawTexture(const GraphicRecord* record);

// Moves a corner into [left, right] x [top, bottom]; its coordinates follow
// by the given amounts per pixel moved.
struct ClampRates {
    float tu;
    float tv;
    float bu;
    float bv;
};
void ClampCorner(DrawCorner& corner, const float bounds[4], const ClampRates& rates);

// Draws the batch first when a list of user vertices is pending, or when
// the batch holds another primitive type or `count` more vertices would
// reach its capacity (exceed it, when `fillToCapacity`).
void MakeRoomInBatch(int count, bool fillToCapacity = false);
// The steps before a piece's vertices: its texture becomes current, the
// blend states follow when marked dirty, and the batch makes room for six.
void PrepareBatchForPiece(IDirect3DTexture9* texture);
// Appends the quad's corners (top-left, top-right, bottom-left,
// bottom-right) as the triangles top-left, top-right, bottom-left and
// bottom-right, bottom-left, top-right, in the vertex format in force (one
// texture or two; nothing without a texture). The draw colour goes into
// the first vertex of each triangle.
void AppendQuad(const DrawCorner corners[4]);
// The same for an untextured quad (vertex format 0) in `colour`.
void AppendPlainQuad(float left, float top, float right, float bottom, DWORD colour);
