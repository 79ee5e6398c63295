// A whole graphic onto four corner points on the hardware path: each texture
// piece's own corners are placed inside the quad at their share of the
// graphic's width and height, and an axis-aligned quad of int corners is the
// stretched draw.
#include "framework/graphics/draws/device_draw_vertices.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/draws/draw_pipeline.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draws/graphic_draw_parts.h"

namespace {

struct QuadPoint {
    float x;
    float y;
};

// The point of the quad (top-left, top-right, bottom-right, bottom-left) at
// the shares (u, v) of its width and height.
QuadPoint PointInQuad(const QuadPoint quad[4], float u, float v) {
    const float topX = quad[0].x + (quad[1].x - quad[0].x) * u;
    const float topY = quad[0].y + (quad[1].y - quad[0].y) * u;
    const float bottomX = quad[3].x + (quad[2].x - quad[3].x) * u;
    const float bottomY = quad[3].y + (quad[2].y - quad[3].y) * u;
    return {topX + (bottomX - topX) * v, topY + (bottomY - topY) * v};
}

int DrawPiecesOntoQuad(const QuadPoint quad[4], const GraphicRecord* record, int transFlag) {
    BeginDeviceScene();
    SetupDrawPipeline(record->image, FirstDrawTexture(record), transFlag);
    const float width = static_cast<float>(record->width);
    const float height = static_cast<float>(record->height);
    for (int i = 0; i < record->drawPieceCount; ++i) {
        const GraphicDrawPiece& piece = record->drawPieces[i];
        QuadPoint at[4];
        for (int corner = 0; corner < 4; ++corner)
            at[corner] = PointInQuad(quad, piece.corners[corner].x / width, piece.corners[corner].y / height);
        // Pixel centres lie half a pixel inside the pixel's corner.
        for (QuadPoint& point : at) {
            point.x -= 0.5f;
            point.y -= 0.5f;
        }
        DrawGraphicFourCornersOnDevice(at[kCornerTopLeft].x, at[kCornerTopLeft].y, at[kCornerTopRight].x,
                                       at[kCornerTopRight].y, at[kCornerBottomLeft].x, at[kCornerBottomLeft].y,
                                       at[kCornerBottomRight].x, at[kCornerBottomRight].y, &piece);
    }
    return 0;
}

}  // namespace

int DrawGraphicFourCornersOnDeviceF(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                                    const GraphicRecord* record, int transFlag) {
    if (Direct3DDevice.device == nullptr) return -1;
    const QuadPoint quad[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    return DrawPiecesOntoQuad(quad, record, transFlag);
}

int DrawGraphicFourCornersOnDeviceInt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                                      const GraphicRecord* record, int transFlag) {
    if (Direct3DDevice.device == nullptr) return -1;
    if (x1 == x4 && x2 == x3 && y1 == y2 && y3 == y4) {
        return DrawGraphicStretchedOnDevice(x1, y1, x3, y3, static_cast<float>(x1), static_cast<float>(y1),
                                            static_cast<float>(x3), static_cast<float>(y3), record, transFlag, 0);
    }
    const QuadPoint quad[4] = {{static_cast<float>(x1), static_cast<float>(y1)},
                               {static_cast<float>(x2), static_cast<float>(y2)},
                               {static_cast<float>(x3), static_cast<float>(y3)},
                               {static_cast<float>(x4), static_cast<float>(y4)}};
    return DrawPiecesOntoQuad(quad, record, transFlag);
}
