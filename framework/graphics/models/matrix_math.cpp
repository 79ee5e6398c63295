// Matrix and vector maths for the transform state, the models and the
// software draws' rectangle clip.
#include "framework/graphics/models/matrix_math.h"

#include "framework/base/base_functions.h"
#include "framework/graphics/screen/screen_mode.h"

namespace {

const MATRIX kIdentity = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

MATRIX ZeroMatrix() { return MATRIX{}; }

// Height over width of the drawing screen.
float ScreenAspect() {
    int width = 0;
    int height = 0;
    GetMainScreenSize(&width, &height);
    return static_cast<float>(height) / static_cast<float>(width);
}

VECTOR Cross(const VECTOR& a, const VECTOR& b) {
    return VECTOR{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Determinant of the 3 x 3 minor left when `row` and `column` are struck out.
double Minor(const MATRIX& in, int row, int column) {
    double cell[3][3];
    for (int r = 0, i = 0; r < 4; ++r) {
        if (r == row) continue;
        for (int c = 0, j = 0; c < 4; ++c) {
            if (c == column) continue;
            cell[i][j++] = in.m[r][c];
        }
        ++i;
    }
    return cell[0][0] * (cell[1][1] * cell[2][2] - cell[1][2] * cell[2][1]) -
           cell[0][1] * (cell[1][0] * cell[2][2] - cell[1][2] * cell[2][0]) +
           cell[0][2] * (cell[1][0] * cell[2][1] - cell[1][1] * cell[2][0]);
}

double Cofactor(const MATRIX& in, int row, int column) {
    const double minor = Minor(in, row, column);
    return (row + column) % 2 == 0 ? minor : -minor;
}

}  // namespace

int MatrixIdentity(MATRIX* out) {
    *out = kIdentity;
    return 0;
}

int MatrixMultiply(MATRIX* out, const MATRIX* a, const MATRIX* b) {
    MATRIX product;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            product.m[r][c] = a->m[r][0] * b->m[0][c] + a->m[r][1] * b->m[1][c] + a->m[r][2] * b->m[2][c] +
                              a->m[r][3] * b->m[3][c];
        }
    }
    if (out != nullptr) *out = product;
    return 0;
}

int MatrixPerspective(MATRIX* out, float fieldOfView, float zNear, float zFar, float aspect) {
    if (aspect < 0) aspect = ScreenAspect();
    float sine = 0;
    float cosine = 0;
    SinCosFloat(fieldOfView * 0.5f, &sine, &cosine);
    if (AbsFloat(zFar - zNear) < 0.0001f || AbsFloat(sine) < 0.0001f) return -1;
    const float cotangent = cosine / sine;
    const float q = zFar / (zFar - zNear);
    MATRIX result = ZeroMatrix();
    result.m[0][0] = aspect * cotangent;
    result.m[1][1] = cotangent;
    result.m[2][2] = q;
    result.m[2][3] = 1;
    result.m[3][2] = -q * zNear;
    result.m[3][3] = 0;
    *out = result;
    return 0;
}

int MatrixOrtho(MATRIX* out, float viewHeight, float zNear, float zFar, float aspect) {
    if (aspect < 0) aspect = ScreenAspect();
    if (AbsFloat(zNear - zFar) < 0.0001f) return -1;
    const float viewWidth = viewHeight / aspect;
    MATRIX result = ZeroMatrix();
    result.m[0][0] = 2 / viewWidth;
    result.m[1][1] = 2 / viewHeight;
    result.m[2][2] = 1 / (zFar - zNear);
    result.m[3][2] = zNear / (zNear - zFar);
    result.m[3][3] = 1;
    *out = result;
    return 0;
}

int MatrixTranspose(MATRIX* out, const MATRIX* in) {
    MATRIX result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) result.m[r][c] = in->m[c][r];
    }
    *out = result;
    return 0;
}

int MatrixInvert(MATRIX* out, const MATRIX* in) {
    double expanded = 0;
    for (int c = 0; c < 4; ++c) expanded += in->m[0][c] * Cofactor(*in, 0, c);
    const float determinant = static_cast<float>(expanded);
    if (determinant > -0.0000001f && determinant < 0.0000001f) return -1;
    MATRIX result;
    for (int r = 0; r < 4; ++r) {
        // The adjugate is the transposed matrix of cofactors.
        for (int c = 0; c < 4; ++c) result.m[r][c] = static_cast<float>(Cofactor(*in, c, r) / determinant);
    }
    *out = result;
    return 0;
}

int MatrixViewport(MATRIX* out, float centreX, float centreY, float width, float height) {
    MATRIX result = ZeroMatrix();
    result.m[0][0] = width * 0.5f;
    result.m[1][1] = -height * 0.5f;
    result.m[2][2] = 1;
    result.m[3][0] = centreX;
    result.m[3][1] = centreY;
    result.m[3][2] = 0;
    result.m[3][3] = 1;
    *out = result;
    return 0;
}

int MatrixLookAt(MATRIX* out, const VECTOR* eye, const VECTOR* target, const VECTOR* up) {
    VECTOR d = {target->x - eye->x, target->y - eye->y, target->z - eye->z};
    VECTOR r = Cross(*up, d);
    VECTOR u = Cross(d, r);
    Vec3Normalize(&r, &r);
    Vec3Normalize(&u, &u);
    Vec3Normalize(&d, &d);
    *out = MATRIX{{{r.x, u.x, d.x, 0},
                   {r.y, u.y, d.y, 0},
                   {r.z, u.z, d.z, 0},
                   {-Vec3Dot(&r, eye), -Vec3Dot(&u, eye), -Vec3Dot(&d, eye), 1}}};
    return 0;
}

int Vec3Normalize(VECTOR* out, const VECTOR* in) {
    const float length = SqrtFloat(Vec3Dot(in, in));
    *out = VECTOR{in->x / length, in->y / length, in->z / length};
    return 0;
}

VECTOR* Vec3NormalizeXyz(VECTOR* out, float x, float y, float z) {
    const VECTOR in = {x, y, z};
    Vec3Normalize(out, &in);
    return out;
}

float Vec3Dot(const VECTOR* a, const VECTOR* b) { return a->x * b->x + a->y * b->y + a->z * b->z; }

int Vec3Transform(VECTOR* out, const VECTOR* v, const MATRIX* m) {
    const VECTOR result = {v->x * m->m[0][0] + v->y * m->m[1][0] + v->z * m->m[2][0] + m->m[3][0],
                           v->x * m->m[0][1] + v->y * m->m[1][1] + v->z * m->m[2][1] + m->m[3][1],
                           v->x * m->m[0][2] + v->y * m->m[1][2] + v->z * m->m[2][2] + m->m[3][2]};
    *out = result;
    return 0;
}

int ClipRectTo(RECT* rect, const RECT* clip) {
    if (rect->right < rect->left) rect->right = rect->left;
    if (rect->bottom < rect->top) rect->bottom = rect->top;
    const auto clamp = [](LONG* value, LONG low, LONG high) {
        if (*value > high) {
            *value = high;
        } else if (*value < low) {
            *value = low;
        }
    };
    clamp(&rect->bottom, clip->top, clip->bottom);
    clamp(&rect->top, clip->top, clip->bottom);
    clamp(&rect->right, clip->left, clip->right);
    clamp(&rect->left, clip->left, clip->right);
    return 0;
}
