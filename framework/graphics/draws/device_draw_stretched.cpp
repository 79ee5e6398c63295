// A graphic stretched onto a rectangle on the hardware path; a rectangle
// given right to left or bottom to top mirrors it, and clipping keeps the
// mirrored mapping.
#include "framework/graphics/draws/device_draw_vertices.h"
#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/draws/draw_pipeline.h"
#include "framework/graphics/draw_settings.h"

int DrawGraphicStretchedOnDevice(int x1, int y1, int x2, int y2, float fx1, float fy1, float fx2, float fy2,
                                 const GraphicRecord* record, int transFlag, int filterAware) {
    if (Direct3DDevice.device == nullptr) return -1;
    if (x1 == x2 || y1 == y2) return -1;
    BeginDeviceScene();
    const DrawSettings& settings = CurrentDrawSettings;
    const int flags = transFlag | (filterAware && settings.filterMode != 1 ? kPipelineKeepOwnAlpha : 0);
    SetupDrawPipeline(record->image, FirstDrawTexture(record), flags);

    const RECT& area = settings.drawArea;
    const int left = x1 < x2 ? x1 : x2;
    const int right = x1 < x2 ? x2 : x1;
    const int top = y1 < y2 ? y1 : y2;
    const int bottom = y1 < y2 ? y2 : y1;
    const bool inside = left >= area.left && top >= area.top && right <= area.right && bottom <= area.bottom;
    const float sx = (fx2 - fx1) / static_cast<float>(record->width);
    const float sy = (fy2 - fy1) / static_cast<float>(record->height);
    const float originX = fx1 - 0.5f;
    const float originY = fy1 - 0.5f;
    const float* areaF = settings.drawAreaFloat;
    const float bounds[4] = {areaF[0] - 0.5f, areaF[1] - 0.5f, areaF[2] - 0.5f, areaF[3] - 0.5f};
    const BlendMapping blend = CurrentBlendMapping();

    for (int i = 0; i < record->drawPieceCount; ++i) {
        const GraphicDrawPiece& piece = record->drawPieces[i];
        PrepareBatchForPiece(PieceTexture(piece.piece));
        const GraphicDrawCorner& topLeft = piece.corners[kCornerTopLeft];
        const float px[2] = {topLeft.x, piece.corners[kCornerTopRight].x};
        const float py[2] = {topLeft.y, piece.corners[kCornerBottomLeft].y};
        const float tu[2] = {topLeft.tu, piece.corners[kCornerTopRight].tu};
        const float tv[2] = {topLeft.tv, piece.corners[kCornerBottomLeft].tv};
        DrawCorner corners[4];
        for (int corner = 0; corner < 4; ++corner) {
            const int column = corner & 1;
            const int row = corner >> 1;
            corners[corner] =
                DrawCorner{originX + sx * px[column], originY + sy * py[row], tu[column], tv[row], 0.0f, 0.0f};
            MapBlendCoordinates(corners[corner], blend, px[column], py[row]);
        }
        if (!inside && piece.piece != nullptr) {
            // A pixel moved on the target is 1 / scale pixels of the graphic,
            // for its own texture and the blend graphic's alike.
            const ClampRates rates = {1.0f / (static_cast<float>(piece.piece->textureWidth) * sx),
                                      1.0f / (static_cast<float>(piece.piece->textureHeight) * sy),
                                      blend.reciprocalWidth / sx, blend.reciprocalHeight / sy};
            for (DrawCorner& corner : corners) ClampCorner(corner, bounds, rates);
        }
        AppendQuad(corners);
    }
    return 0;
}
