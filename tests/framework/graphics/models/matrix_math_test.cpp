// Matrix and vector maths and the rectangle clip.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "framework/graphics/models/matrix_math.h"

namespace {

MATRIX Filled(float start) {
    MATRIX m;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) m.m[r][c] = start + static_cast<float>(r * 4 + c) * (c == r ? 3.0f : 0.5f);
    }
    return m;
}

bool SameBits(const MATRIX& a, const MATRIX& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(MatrixMathTest, PerspectiveOfTheWorkedCase) {
    MATRIX m;
    ASSERT_EQ(MatrixPerspective(&m, 1.0471976f, 10, 10000, 0.75f), 0);
    EXPECT_NEAR(m.m[1][1], 1.7320508f, 1e-5);
    EXPECT_NEAR(m.m[0][0], 1.2990381f, 1e-5);
    EXPECT_NEAR(m.m[2][2], 1.001001f, 1e-6);
    EXPECT_NEAR(m.m[3][2], -10.01001f, 1e-4);
    EXPECT_EQ(m.m[2][3], 1.0f);
    EXPECT_EQ(m.m[3][3], 0.0f);
    EXPECT_EQ(m.m[0][1], 0.0f);
    EXPECT_EQ(m.m[3][0], 0.0f);

    // A negative aspect takes the screen's: 480 / 640.
    MATRIX screen;
    ASSERT_EQ(MatrixPerspective(&screen, 1.0471976f, 10, 10000, -1), 0);
    EXPECT_FLOAT_EQ(screen.m[0][0], m.m[0][0]);
    // An aspect of exactly 0 stays 0.
    ASSERT_EQ(MatrixPerspective(&screen, 1.0471976f, 10, 10000, 0), 0);
    EXPECT_EQ(screen.m[0][0], 0.0f);
}

TEST(MatrixMathTest, ProjectionsRefuseDegenerateRangesAndLeaveOutAlone) {
    const MATRIX before = Filled(1);
    MATRIX out = before;
    EXPECT_EQ(MatrixPerspective(&out, 1.0f, 10, 10, 0.75f), -1);
    EXPECT_EQ(MatrixPerspective(&out, 0.0f, 10, 100, 0.75f), -1);
    EXPECT_EQ(MatrixOrtho(&out, 480, 5, 5.00005f, 0.75f), -1);
    EXPECT_TRUE(SameBits(out, before));
}

TEST(MatrixMathTest, OrthographicProjection) {
    MATRIX m;
    ASSERT_EQ(MatrixOrtho(&m, 480, 1, 11, -1), 0);
    EXPECT_FLOAT_EQ(m.m[0][0], 2.0f / 640);
    EXPECT_FLOAT_EQ(m.m[1][1], 2.0f / 480);
    EXPECT_FLOAT_EQ(m.m[2][2], 0.1f);
    EXPECT_FLOAT_EQ(m.m[3][2], -0.1f);
    EXPECT_EQ(m.m[3][3], 1.0f);
    EXPECT_EQ(m.m[2][3], 0.0f);
}

TEST(MatrixMathTest, MultiplyAppliesTheLeftMatrixFirstAndMayWriteIntoAnOperand) {
    const MATRIX a = Filled(1);
    const MATRIX b = Filled(-2);
    MATRIX fresh;
    MatrixMultiply(&fresh, &a, &b);
    EXPECT_FLOAT_EQ(fresh.m[1][2], a.m[1][0] * b.m[0][2] + a.m[1][1] * b.m[1][2] + a.m[1][2] * b.m[2][2] +
                                       a.m[1][3] * b.m[3][2]);
    MATRIX intoA = a;
    MatrixMultiply(&intoA, &intoA, &b);
    EXPECT_TRUE(SameBits(intoA, fresh));
    MATRIX intoB = b;
    MatrixMultiply(&intoB, &a, &intoB);
    EXPECT_TRUE(SameBits(intoB, fresh));
    EXPECT_EQ(MatrixMultiply(nullptr, &a, &b), 0);

    // A translation applied after a scale moves the scaled point.
    MATRIX scale, move, both;
    MatrixIdentity(&scale);
    MatrixIdentity(&move);
    scale.m[0][0] = 2;
    move.m[3][0] = 5;
    MatrixMultiply(&both, &scale, &move);
    const VECTOR p = {3, 1, 0};
    VECTOR q;
    Vec3Transform(&q, &p, &both);
    EXPECT_FLOAT_EQ(q.x, 11);
}

TEST(MatrixMathTest, TransposeInPlace) {
    MATRIX m = Filled(0);
    const MATRIX original = m;
    MatrixTranspose(&m, &m);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(m.m[r][c], original.m[c][r]);
    }
}

TEST(MatrixMathTest, InvertGivesTheInverseOrRefusesANearSingularMatrix) {
    const MATRIX a = Filled(1);
    MATRIX inverse;
    ASSERT_EQ(MatrixInvert(&inverse, &a), 0);
    MATRIX product;
    MatrixMultiply(&product, &a, &inverse);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(product.m[r][c], r == c ? 1.0f : 0.0f, 1e-4) << r << "," << c;
    }

    struct Case {
        float scale;
        int result;
    } const cases[] = {{0.00000005f, -1}, {-0.00000005f, -1}, {0.0f, -1}, {0.0000001f, 0}, {-0.0000001f, 0}};
    for (const Case& c : cases) {
        MATRIX m;
        MatrixIdentity(&m);
        m.m[2][2] = c.scale;  // the determinant
        const MATRIX before = Filled(3);
        MATRIX out = before;
        EXPECT_EQ(MatrixInvert(&out, &m), c.result) << c.scale;
        if (c.result < 0) {
            EXPECT_TRUE(SameBits(out, before));
        }
    }
}

TEST(MatrixMathTest, ViewportMapsTheClipCornerToTheScreenCorner) {
    MATRIX m;
    MatrixViewport(&m, 320, 240, 640, 480);
    const VECTOR corner = {-1, 1, 0};
    VECTOR out;
    Vec3Transform(&out, &corner, &m);
    EXPECT_FLOAT_EQ(out.x, 0);
    EXPECT_FLOAT_EQ(out.y, 0);
    const VECTOR opposite = {1, -1, 0.5f};
    Vec3Transform(&out, &opposite, &m);
    EXPECT_FLOAT_EQ(out.x, 640);
    EXPECT_FLOAT_EQ(out.y, 480);
    EXPECT_FLOAT_EQ(out.z, 0.5f);
}

TEST(MatrixMathTest, LookAtPutsTheTargetOnThePositiveZAxis) {
    const VECTOR eye = {1, 2, -10};
    const VECTOR target = {1, 2, 0};
    const VECTOR up = {0, 1, 0};
    MATRIX view;
    MatrixLookAt(&view, &eye, &target, &up);
    VECTOR out;
    Vec3Transform(&out, &target, &view);
    EXPECT_NEAR(out.x, 0, 1e-5);
    EXPECT_NEAR(out.y, 0, 1e-5);
    EXPECT_NEAR(out.z, 10, 1e-5);
    const VECTOR right = {2, 2, -10};  // one to the right of the eye
    Vec3Transform(&out, &right, &view);
    EXPECT_NEAR(out.x, 1, 1e-5);
    const VECTOR above = {1, 3, -10};
    Vec3Transform(&out, &above, &view);
    EXPECT_NEAR(out.y, 1, 1e-5);
}

TEST(MatrixMathTest, VectorHelpers) {
    VECTOR v;
    EXPECT_EQ(Vec3NormalizeXyz(&v, 3, 0, 4), &v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
    const VECTOR a = {1, 2, 3}, b = {4, -5, 6};
    EXPECT_FLOAT_EQ(Vec3Dot(&a, &b), 12);
    VECTOR n = {0, -2, 0};
    Vec3Normalize(&n, &n);
    EXPECT_FLOAT_EQ(n.y, -1);
}

TEST(ClipRectToTest, ClampsEachEdgeIntoTheClip) {
    const RECT screen = {0, 0, 640, 480};
    struct Case {
        RECT in, out;
    } const cases[] = {
        {{700, 10, 800, 20}, {640, 10, 640, 20}},
        {{50, 60, 40, 50}, {50, 60, 50, 60}},
        {{-10, -20, 30, 40}, {0, 0, 30, 40}},
        {{10, 500, 20, 600}, {10, 480, 20, 480}},
        {{-50, -50, -10, -10}, {0, 0, 0, 0}},
        {{0, 0, 640, 480}, {0, 0, 640, 480}},
        {{100, 100, 1000, 1000}, {100, 100, 640, 480}},
    };
    for (const Case& c : cases) {
        RECT r = c.in;
        EXPECT_EQ(ClipRectTo(&r, &screen), 0);
        EXPECT_EQ(r.left, c.out.left) << c.in.left << "," << c.in.top << "," << c.in.right << "," << c.in.bottom;
        EXPECT_EQ(r.top, c.out.top);
        EXPECT_EQ(r.right, c.out.right);
        EXPECT_EQ(r.bottom, c.out.bottom);
    }
    const RECT area = {10, 20, 30, 40};
    RECT r = {0, 0, 100, 100};
    ClipRectTo(&r, &area);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 40);
}

}  // namespace
