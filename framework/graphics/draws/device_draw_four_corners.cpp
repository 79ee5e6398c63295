// One piece of a graphic mapped onto four corner points on the hardware
// path. A quad whose opposite edges agree within a pixel is two triangles
// of the batch; any other quad is an 8 by 8 grid of vertices, drawn at once,
// so that the picture bends smoothly across it. With a blend graphic the
// vertices carry its coordinates too, taken from the piece's own corners.
#include "framework/base/base_functions.h"
#include "framework/graphics/draws/blend_states.h"
#include "framework/graphics/draws/device_draw_vertices.h"
#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

constexpr int kGridSide = 8;
constexpr int kGridSteps = kGridSide - 1;

struct Point {
    float x;
    float y;
};

Point Minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
// Two edges that differ by less than a pixel either way.
bool Within(Point a, Point b) { return AbsFloat(a.x - b.x) < 1.0f && AbsFloat(a.y - b.y) < 1.0f; }

BatchVertexTex1 PlainGrid[kGridSide * kGridSide];
BatchVertexTex2 BlendGrid[kGridSide * kGridSide];

// A point that walks from `from` in equal steps, added up.
struct Walk {
    Point at;
    Point step;
    void Next() {
        at.x += step.x;
        at.y += step.y;
    }
};
Walk WalkFrom(Point from, Point to) {
    return {from, {(to.x - from.x) / kGridSteps, (to.y - from.y) / kGridSteps}};
}

void WriteGrid(const Point screen[4], const Point graphic[4], Point texture0, Point texture1, int format) {
    const DrawSettings& settings = CurrentDrawSettings;
    const BlendMapping blend = CurrentBlendMapping();
    // Down the left and right edges, on screen and in the graphic.
    Walk leftEdge = WalkFrom(screen[kCornerTopLeft], screen[kCornerBottomLeft]);
    Walk rightEdge = WalkFrom(screen[kCornerTopRight], screen[kCornerBottomRight]);
    Walk graphicLeft = WalkFrom(graphic[kCornerTopLeft], graphic[kCornerBottomLeft]);
    Walk graphicRight = WalkFrom(graphic[kCornerTopRight], graphic[kCornerBottomRight]);
    const float tuStep = (texture1.x - texture0.x) / kGridSteps;
    const float tvStep = (texture1.y - texture0.y) / kGridSteps;
    float tv = texture0.y;
    for (int row = 0; row < kGridSide; ++row) {
        Walk across = WalkFrom(leftEdge.at, rightEdge.at);
        Walk graphicAcross = WalkFrom(graphicLeft.at, graphicRight.at);
        float tu = texture0.x;
        for (int column = 0; column < kGridSide; ++column) {
            const int index = row * kGridSide + column;
            DrawCorner corner = {across.at.x, across.at.y, tu, tv, 0.0f, 0.0f};
            MapBlendCoordinates(corner, blend, graphicAcross.at.x, graphicAcross.at.y);
            if (format == kVertexFormatBlendTexture) {
                BlendGrid[index] = BatchVertexTex2{corner.x, corner.y, settings.depth2D, 1.0f, settings.diffuseColor,
                                                   0xFFFFFFFFu, corner.bu, corner.bv, corner.tu, corner.tv};
            } else {
                PlainGrid[index] = BatchVertexTex1{corner.x, corner.y, settings.depth2D, 1.0f, settings.diffuseColor,
                                                   corner.tu, corner.tv};
            }
            across.Next();
            graphicAcross.Next();
            tu += tuStep;
        }
        leftEdge.Next();
        rightEdge.Next();
        graphicLeft.Next();
        graphicRight.Next();
        tv += tvStep;
    }
    if (format == kVertexFormatBlendTexture) {
        DrawIndexedUserVertices(kGridSide, BlendGrid, kGridSide);
    } else {
        DrawIndexedUserVertices(kGridSide, PlainGrid, kGridSide);
    }
}

}  // namespace

int DrawGraphicFourCornersOnDevice(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                                   const GraphicDrawPiece* piece) {
    if (Direct3DDevice.device == nullptr) return -1;
    DeviceStateCache& cache = DeviceStates;
    IDirect3DTexture9* texture = PieceTexture(piece->piece);
    if (texture != cache.texture) SetCurrentDrawTexture(texture);
    if (cache.statesDirty || cache.textureDirty) ApplyDrawBlendStates(nullptr, 1, 0);
    const int format = DrawVertexBatch.format;
    if (format == kVertexFormatPlain) return 0;

    const Point screen[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    Point graphic[4];
    for (int corner = 0; corner < 4; ++corner) graphic[corner] = {piece->corners[corner].x, piece->corners[corner].y};
    const GraphicDrawCorner& topLeft = piece->corners[kCornerTopLeft];
    const GraphicDrawCorner& bottomRight = piece->corners[kCornerBottomRight];
    const Point texture0 = {topLeft.tu, topLeft.tv};
    const Point texture1 = {bottomRight.tu, bottomRight.tv};

    const Point top = Minus(screen[kCornerTopRight], screen[kCornerTopLeft]);
    const Point bottom = Minus(screen[kCornerBottomRight], screen[kCornerBottomLeft]);
    const Point left = Minus(screen[kCornerBottomLeft], screen[kCornerTopLeft]);
    const Point right = Minus(screen[kCornerBottomRight], screen[kCornerTopRight]);
    if (!Within(top, bottom) || !Within(left, right)) {
        WriteGrid(screen, graphic, texture0, texture1, format);
        return 0;
    }

    MakeRoomInBatch(6);
    const BlendMapping blend = CurrentBlendMapping();
    DrawCorner corners[4];
    for (int corner = 0; corner < 4; ++corner) {
        const int column = corner & 1;
        const int row = corner >> 1;
        corners[corner] = DrawCorner{screen[corner].x, screen[corner].y, column ? texture1.x : texture0.x,
                                     row ? texture1.y : texture0.y, 0.0f, 0.0f};
        MapBlendCoordinates(corners[corner], blend, graphic[corner].x, graphic[corner].y);
    }
    AppendQuad(corners);
    return 0;
}
