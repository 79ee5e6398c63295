// 4 x 4 float matrices, 3-float vectors and integer rectangles.
//
// Vectors are rows multiplied from the left (a point p becomes p x M), so a
// translation stands in m[3][0..2] and A x B applies A first. None of these
// allocates, logs or keeps state.
#pragma once

#include "platform/win_types.h"

struct MATRIX {
    float m[4][4];  // row by row
};

struct VECTOR {
    float x;
    float y;
    float z;
};

int MatrixIdentity(MATRIX* out);
// out = a x b, formed in local storage first so out may be a or b; a null
// out stores nothing.
int MatrixMultiply(MATRIX* out, const MATRIX* a, const MATRIX* b);
// Left-handed perspective projection; the aspect is height / width, and a
// negative aspect takes the screen's. -1 (out unchanged) when near and far
// coincide or the field of view is 0.
int MatrixPerspective(MATRIX* out, float fieldOfView, float zNear, float zFar, float aspect);
// Orthographic projection of a view `viewHeight` high; aspect as above.
// -1 (out unchanged) when near and far coincide.
int MatrixOrtho(MATRIX* out, float viewHeight, float zNear, float zFar, float aspect);
// All of `in` is read before `out` is written.
int MatrixTranspose(MATRIX* out, const MATRIX* in);
// -1 (out unchanged) when the determinant lies strictly inside +-0.0000001.
int MatrixInvert(MATRIX* out, const MATRIX* in);
// Maps (-1, 1) .. (1, -1) onto a screen area of the given size and centre.
int MatrixViewport(MATRIX* out, float centreX, float centreY, float width, float height);
// Left-handed view matrix looking from eye to target.
int MatrixLookAt(MATRIX* out, const VECTOR* eye, const VECTOR* target, const VECTOR* up);

int Vec3Normalize(VECTOR* out, const VECTOR* in);
VECTOR* Vec3NormalizeXyz(VECTOR* out, float x, float y, float z);
float Vec3Dot(const VECTOR* a, const VECTOR* b);
// out = (v, 1) x m without the fourth column.
int Vec3Transform(VECTOR* out, const VECTOR* v, const MATRIX* m);

// Clips `rect` (right and bottom exclusive) in place to `clip`: an inverted
// edge is first raised to its opposite, then bottom and top are clamped into
// the clip's vertical span and right and left into its horizontal span. A
// rectangle wholly outside ends with width or height 0. Returns 0.
int ClipRectTo(RECT* rect, const RECT* clip);
