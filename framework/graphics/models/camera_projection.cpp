// The camera's projection settings live in the draw settings; the matrix
// made from them goes to the transform state, which multiplies in the
// mapping onto the target and the draw area.
#include "framework/graphics/models/camera_projection.h"

#include <cstring>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"

namespace {

constexpr int kPerspective = 0;
constexpr int kOrthographic = 1;
constexpr int kGivenMatrix = 2;

}  // namespace

int RebuildProjection() {
    ProjectionSettings& projection = CurrentDrawSettings.projection;
    if (projection.mode != kGivenMatrix) {
        int width = 0, height = 0;
        GetDrawTargetSize(&width, &height);
        // Without a size the matrix functions take the screen's aspect.
        float aspect = -1.0f;
        if (width > 0 && height > 0)
            aspect = static_cast<float>(static_cast<double>(height) / width * projection.aspectScale);
        if (projection.mode == kPerspective) {
            MatrixPerspective(&projection.matrix, projection.fieldOfView, projection.nearZ, projection.farZ, aspect);
        } else if (projection.mode == kOrthographic) {
            MatrixOrtho(&projection.matrix, projection.orthoHeight, projection.nearZ, projection.farZ, aspect);
        }
    }
    const MATRIX sent = projection.matrix;
    SetProjectionMatrix(&sent);
    return 0;
}

int SetCameraDepthRange(float nearZ, float farZ) {
    ProjectionSettings& projection = CurrentDrawSettings.projection;
    projection.nearZ = nearZ;
    projection.farZ = farZ;
    return RebuildProjection();
}

int SetCameraFov(float fieldOfView) {
    ProjectionSettings& projection = CurrentDrawSettings.projection;
    projection.mode = kPerspective;
    projection.fieldOfView = fieldOfView;
    return RebuildProjection();
}

int SetCameraProjection(const float* matrix) {
    if (matrix == nullptr) return -1;
    ProjectionSettings& projection = CurrentDrawSettings.projection;
    std::memcpy(projection.matrix.m, matrix, sizeof(projection.matrix.m));
    projection.mode = kGivenMatrix;
    return RebuildProjection();
}
