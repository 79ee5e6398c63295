#include "framework/graphics/models/vector_transforms.h"

namespace {

float* Transform(float* out, const float* in, const D3DMATRIX* matrix, double translation) {
    const double x = in[0], y = in[1], z = in[2];
    double result[3];
    for (int column = 0; column < 3; ++column) {
        result[column] = x * matrix->m[0][column] + y * matrix->m[1][column] + z * matrix->m[2][column] +
                         translation * matrix->m[3][column];
    }
    for (int column = 0; column < 3; ++column) out[column] = static_cast<float>(result[column]);
    return out;
}

}  // namespace

float* TransformPointByMatrix(float* out, const float* point, const D3DMATRIX* matrix) {
    return Transform(out, point, matrix, 1.0);
}

float* TransformDirectionByMatrix(float* out, const float* direction, const D3DMATRIX* matrix) {
    return Transform(out, direction, matrix, 0.0);
}
