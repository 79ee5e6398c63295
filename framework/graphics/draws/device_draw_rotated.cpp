// A graphic scaled and turned about a centre on the hardware path. Where
// the centre lies decides which point of the graphic goes onto it, so that
// an unturned graphic keeps to the pixel grid, and edges that end up
// running along the grid are moved onto pixel borders. The device's
// viewport and scissor rectangle clip the result.
#include "framework/base/base_functions.h"
#include "framework/graphics/draws/device_draw_vertices.h"
#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/draws/draw_pipeline.h"

namespace {

// How far a value lies from the whole number toward zero.
float Fraction(float value) { return AbsFloat(value - static_cast<float>(FloatToInt(value))); }

// Within 4 degrees of a multiple of a right angle, or outside -4 to 364
// degrees.
bool IsNearRightAngle(double angle) {
    constexpr double kWindow = 0.0698131700797732;
    constexpr double kQuarter = 1.5707963267948966;
    if (angle < -kWindow || angle > 4 * kQuarter + kWindow) return true;
    for (int quarter = 0; quarter <= 4; ++quarter) {
        const double distance = angle - quarter * kQuarter;
        if (distance > -kWindow && distance < kWindow) return true;
    }
    return false;
}

struct RotationCentre {
    float graphicX;  // the graphic's point that goes onto the centre
    float graphicY;
    float screenX;
    float screenY;
    bool offGrid;
};

RotationCentre ChooseCentre(int width, int height, float cx, float cy, float scale) {
    if (Fraction(cx) >= 0.00001f || Fraction(cy) >= 0.00001f)
        return {static_cast<float>(width) / 2.0f, static_cast<float>(height) / 2.0f, cx, cy, true};
    const float halfWidth = static_cast<float>(width / 2);
    const float halfHeight = static_cast<float>(height / 2);
    const bool evenWidth = width % 2 == 0;
    const bool evenHeight = height % 2 == 0;
    if (scale != 1.0f || (evenWidth && evenHeight)) return {halfWidth, halfHeight, cx - 0.5f, cy - 0.5f, false};
    if (!evenWidth && !evenHeight) return {halfWidth, halfHeight, cx, cy, false};
    return {evenWidth ? halfWidth - 0.5f : halfWidth, evenHeight ? halfHeight - 0.5f : halfHeight, cx, cy, false};
}

// Half a pixel off an edge that runs along the grid: `a` is the top-left
// corner's coordinate, `b` and `c` the bottom-left's and top-right's.
bool NeedsSnap(float a, float b, float c, bool offGrid) {
    if (AbsFloat(a - b) > 0.01f && AbsFloat(a - c) > 0.01f) return false;
    const float fraction = Fraction(a);
    return offGrid ? fraction < 0.001f || fraction > 0.999f : fraction < 0.0001f;
}

}  // namespace

int DrawGraphicRotatedOnDevice(const GraphicRecord* record, float cx, float cy, double scale, double angle,
                               int transFlag, int turnFlag) {
    if (Direct3DDevice.device == nullptr) return -1;
    if (scale == 0.0) return -1;
    BeginDeviceScene();
    SetupDrawPipeline(record->image, FirstDrawTexture(record), transFlag);

    const float s = static_cast<float>(scale);
    const float turn = turnFlag == 1 ? -1.0f : 1.0f;
    float sine = 0.0f;
    float cosine = 1.0f;
    if (angle != 0.0) SinCosFloat(static_cast<float>(angle), &sine, &cosine);
    const RotationCentre centre = ChooseCentre(record->width, record->height, cx, cy, s);
    const bool snapOnGrid = !centre.offGrid && angle != 0.0 && IsNearRightAngle(angle);
    const bool snapX = centre.offGrid || (snapOnGrid && record->width % 2 != 0);
    const bool snapY = centre.offGrid || (snapOnGrid && record->height % 2 != 0);
    const BlendMapping blend = CurrentBlendMapping();

    for (int i = 0; i < record->drawPieceCount; ++i) {
        const GraphicDrawPiece& piece = record->drawPieces[i];
        PrepareBatchForPiece(PieceTexture(piece.piece));
        // Every corner is turned on its own: mirroring two of them through
        // the centre holds only where the centre is the graphic's own.
        DrawCorner corners[4];
        for (int corner = 0; corner < 4; ++corner) {
            const GraphicDrawCorner& source = piece.corners[corner];
            const float dx = turn * s * (source.x - centre.graphicX);
            const float dy = s * (source.y - centre.graphicY);
            corners[corner] = DrawCorner{cosine * dx - sine * dy + centre.screenX,
                                         sine * dx + cosine * dy + centre.screenY, source.tu, source.tv, 0.0f, 0.0f};
            MapBlendCoordinates(corners[corner], blend, source.x, source.y);
        }
        const DrawCorner& topLeft = corners[kCornerTopLeft];
        const DrawCorner& bottomLeft = corners[kCornerBottomLeft];
        const DrawCorner& topRight = corners[kCornerTopRight];
        const bool moveX = snapX && NeedsSnap(topLeft.x, bottomLeft.x, topRight.x, centre.offGrid);
        const bool moveY = snapY && NeedsSnap(topLeft.y, bottomLeft.y, topRight.y, centre.offGrid);
        for (DrawCorner& corner : corners) {
            if (moveX) corner.x -= 0.5f;
            if (moveY) corner.y -= 0.5f;
        }
        AppendQuad(corners);
    }
    return 0;
}
