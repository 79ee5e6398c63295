// The camera's projection: perspective by field of view, orthographic, or a
// matrix as given, rebuilt and sent whenever a setting changes.
#pragma once

#include "framework/graphics/models/matrix_math.h"

// Each stores its setting and rebuilds the projection; 0.
int SetCameraDepthRange(float nearZ, float farZ);
// Back to perspective projection with this field of view (radians).
int SetCameraFov(float fieldOfView);
// The 16 floats become the projection as they stand; -1 for none.
int SetCameraProjection(const float* matrix);
// Rebuilds the projection from the settings and the draw target's aspect
// and sends it. Settings the matrix functions refuse (near equal to far, a
// zero field of view) leave the previous matrix, which is sent again.
// Returns 0.
int RebuildProjection();
