// A graphic drawn at its natural size on the hardware path. Positions are
// moved half a pixel up and left, so that texel centres fall on pixel
// centres; a graphic reaching out of the draw area has its corners moved in
// with their texture coordinates.
#include <cstdint>

#include "framework/graphics/draws/device_draw_vertices.h"
#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/draws/draw_pipeline.h"
#include "framework/graphics/draw_settings.h"

int DrawGraphicOnDevice(const GraphicRecord* record, int x, int y, float fx, float fy, int transFlag, int one) {
    if (Direct3DDevice.device == nullptr) return -1;
    BeginDeviceScene();
    SetupDrawPipeline(record->image, FirstDrawTexture(record), transFlag | kPipelineKeepOwnAlpha);
    const DrawSettings& settings = CurrentDrawSettings;
    const RECT& area = settings.drawArea;
    const bool inside = x >= area.left && y >= area.top && int64_t{x} + record->width <= area.right &&
                        int64_t{y} + record->height <= area.bottom;
    const float left = fx - 0.5f;
    const float top = fy - 0.5f;
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
            corners[corner] = DrawCorner{left + px[column], top + py[row], tu[column], tv[row], 0.0f, 0.0f};
            MapBlendCoordinates(corners[corner], blend, px[column], py[row]);
        }
        if (!inside && piece.piece != nullptr) {
            const ClampRates rates = {1.0f / static_cast<float>(piece.piece->textureWidth),
                                      1.0f / static_cast<float>(piece.piece->textureHeight), blend.reciprocalWidth,
                                      blend.reciprocalHeight};
            for (DrawCorner& corner : corners) ClampCorner(corner, settings.drawAreaFloat, rates);
        }
        AppendQuad(corners);
    }
    return 0;
}
