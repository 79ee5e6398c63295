// A point or a direction carried through a 4x4 matrix, as the lights are put
// into view space.
#pragma once

#include "platform/d3d9/d3d9.h"

// A float3 times a row-major 4x4 matrix (x' = x m11 + y m21 + z m31 + m41,
// and so on), the second without the translation row; both return `out`,
// which may be the input. Products and sums are formed in double precision.
float* TransformPointByMatrix(float* out, const float* point, const D3DMATRIX* matrix);
float* TransformDirectionByMatrix(float* out, const float* direction, const D3DMATRIX* matrix);
