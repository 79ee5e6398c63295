// The triangle, four-corner and rotated draws step by step.
#include "tests/support/reference_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "framework/base/base_functions.h"
#include "tests/support/span_reference.h"

namespace {

constexpr int64_t kUnit = 262144;  // 2^18

// A 14.18 value as a whole pixel: signed division rounding toward zero.
int64_t ToPixel(int64_t v) { return v / kUnit; }

// DoubleToInt: truncation toward zero, 0x80000000 outside the int range.
int32_t Truncate(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(std::trunc(v));
}

RECT ClipRect(RECT r, const RECT& clip) {
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    r.bottom = std::clamp(r.bottom, clip.top, clip.bottom);
    r.top = std::clamp(r.top, clip.top, clip.bottom);
    r.right = std::clamp(r.right, clip.left, clip.right);
    r.left = std::clamp(r.left, clip.left, clip.right);
    return r;
}

struct Edge {
    int64_t startX = 0, slope = 0, height = 0, startY = 0;
};

SpanDraw DescribeDraw(const MEMIMG* destination, const MEMIMG* source, int flag, const MEMIMG* blend,
                      const ReferenceSettings& settings, uint32_t* palette) {
    SpanDraw d;
    d.depth = destination->base->colorType == kMemImgColor565 ? 16 : 32;
    d.mode = settings.blendMode;
    d.p = std::clamp(settings.blendParam, 0, 255);
    d.bright = settings.brightColor & 0xFFFFFF;
    if (source == nullptr) {
        d.source = kSpanSolid;
        return d;
    }
    const MemImgBase* b = source->base;
    d.source = b->paletteFlag == 1 ? kSpanPaletted : b->alphaFlag == 1 ? kSpanAlpha : kSpanPlain;
    d.hasMask = blend != nullptr;
    d.flag = flag != 0;
    d.transparentColour = b->transparentColor;
    if (d.source == kSpanPaletted) {
        for (int i = 0; i < 256; ++i)
            palette[i] = b->colorType == kMemImgColor565 ? static_cast<const uint16_t*>(b->paletteTable)[i]
                                                         : static_cast<const uint32_t*>(b->paletteTable)[i];
        d.palette = palette;
    }
    return d;
}

}  // namespace

void ReferenceTriangle(MEMIMG* destination, const MEMIMG* source, const int* vertices, int transparencyFlag,
                       const MEMIMG* blendGraphic, int colour, const ReferenceSettings& settings) {
    const MemImgBase* destBase = destination->base;
    // Step 1: refusals.
    if (source != nullptr && source->base->colorType != destBase->colorType) return;
    if (destBase->paletteFlag == 1) return;
    if (destBase->alphaFlag == 1) return;
    // The implementer's choices.
    for (int i = 0; i < 12; ++i) {
        if (source == nullptr && (i % 4) >= 2) continue;
        if (vertices[i] < -8192 || vertices[i] > 8191) return;
    }
    if (source != nullptr && blendGraphic != nullptr &&
        (blendGraphic->width < source->width || blendGraphic->height < source->height))
        return;

    // Step 2: 14.18.
    int64_t X[3], Y[3], U[3], V[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = int64_t{vertices[4 * i]} * kUnit + 0x20000;
        Y[i] = int64_t{vertices[4 * i + 1]} * kUnit + 0x20000;
        U[i] = int64_t{vertices[4 * i + 2]} * kUnit;
        V[i] = int64_t{vertices[4 * i + 3]} * kUnit;
    }
    // Step 3: the x order and the y order.
    const auto sort = [](const int64_t key[3], int order[3]) {
        order[0] = 0, order[1] = 1, order[2] = 2;
        for (int i = 0; i <= 1; ++i)
            for (int j = i + 1; j <= 2; ++j)
                if (key[order[i]] > key[order[j]]) std::swap(order[i], order[j]);
    };
    int xo[3], yo[3];
    sort(X, xo);
    sort(Y, yo);

    // Step 4: reference vertex and area.
    const int r = xo[0], a = xo[1], b = xo[2];
    const int64_t dxa = (X[a] - X[r]) / kUnit, dya = (Y[a] - Y[r]) / kUnit;
    const int64_t dua = (U[a] - U[r]) / kUnit, dva = (V[a] - V[r]) / kUnit;
    const int64_t dxb = (X[b] - X[r]) / kUnit, dyb = (Y[b] - Y[r]) / kUnit;
    const int64_t dub = (U[b] - U[r]) / kUnit, dvb = (V[b] - V[r]) / kUnit;
    const int64_t det = dxb * dya - dxa * dyb;
    if (det == 0) return;

    // Step 5: gradients.
    const auto gradient = [det](int64_t numerator) {
        return int64_t{Truncate(static_cast<double>(numerator) * 262144.0 / static_cast<double>(det))};
    };
    const int64_t dUdx = gradient(dya * dub - dyb * dua);
    const int64_t dUdy = gradient(dxb * dua - dxa * dub);
    const int64_t dVdx = gradient(dya * dvb - dyb * dva);
    const int64_t dVdy = gradient(dxb * dva - dxa * dvb);
    const int64_t xref = ToPixel(X[r]), yref = ToPixel(Y[r]);

    // Step 6: edges.
    const int t = yo[0], m = yo[1], n = yo[2];
    const auto rows = [&](int from, int to) { return (Y[to] - Y[from]) / kUnit; };
    const auto edge = [&](int64_t startX, int64_t endX, int64_t height, int64_t startY) {
        return Edge{startX, (endX - startX) / height, height, startY};
    };
    Edge left[2], right[2];
    int leftSeg = 1, rightSeg = 1;
    if (Y[t] == Y[m]) {
        if (Y[m] == Y[n] || Y[t] == Y[n]) return;
        int L, R;
        if (X[t] > X[m]) L = m, R = t;
        else L = t, R = m;
        if (rows(L, n) == 0 || rows(R, n) == 0) return;
        left[1] = edge(X[L], X[n], rows(L, n), Y[L]);
        right[1] = edge(X[R], X[n], rows(R, n), Y[R]);
    } else if (Y[m] == Y[n]) {
        int L, R;
        if (X[m] > X[n]) L = n, R = m;
        else L = m, R = n;
        if (rows(t, L) == 0 || rows(t, R) == 0) return;
        left[1] = edge(X[t], X[L], rows(t, L), Y[t]);
        right[1] = edge(X[t], X[R], rows(t, R), Y[t]);
    } else {
        const double sm = static_cast<double>(X[m] - X[t]) / (static_cast<double>(Y[m] - Y[t]) * std::ldexp(1.0, -18));
        const double sn = static_cast<double>(X[n] - X[t]) / (static_cast<double>(Y[n] - Y[t]) * std::ldexp(1.0, -18));
        if (rows(t, m) == 0 || rows(m, n) == 0 || rows(t, n) == 0) return;
        if (sm < sn) {
            left[0] = edge(X[t], X[m], rows(t, m), Y[t]);
            left[1] = edge(X[m], X[n], rows(m, n), Y[m]);
            right[1] = edge(X[t], X[n], rows(t, n), Y[t]);
            leftSeg = 0;
        } else {
            right[0] = edge(X[t], X[m], rows(t, m), Y[t]);
            right[1] = edge(X[m] + 1, X[n], rows(m, n), Y[m]);
            left[1] = edge(X[t], X[n], rows(t, n), Y[t]);
            rightSeg = 0;
        }
    }

    // Steps 7 and 9: constants and the variant.
    const RECT area = ClipRect(settings.drawArea, RECT{0, 0, destination->width, destination->height});
    uint32_t palette[256];
    const SpanDraw draw = DescribeDraw(destination, source, transparencyFlag, blendGraphic, settings, palette);
    if (source == nullptr && destBase->colorType != kMemImgColor565 && destBase->colorType != kMemImgColor32) return;
    if (source != nullptr && source->base->colorType != kMemImgColor565 && source->base->colorType != kMemImgColor32)
        return;
    if (!SpanDrawDraws(draw)) return;
    const uint32_t fill = SpanReferenceFill(draw.depth, colour, settings.brightColor);
    const uint64_t uLimit = source ? uint64_t(source->width) << 18 : 0;
    const uint64_t vLimit = source ? uint64_t(source->height) << 18 : 0;

    const auto drawPixel = [&](int64_t x, int64_t y) {
        const int dx = static_cast<int>(x), dy = static_cast<int>(y);
        const uint32_t before = ReadTestPixel(destination, dx, dy);
        if (source == nullptr) {
            WriteTestPixel(destination, dx, dy, SpanReferencePixel(draw, fill, 0, before));
            return;
        }
        // Step 11: the texel, from the reference vertex, as a 32-bit value.
        const uint32_t u = static_cast<uint32_t>(U[r] + (x - xref) * dUdx + (y - yref) * dUdy);
        const uint32_t v = static_cast<uint32_t>(V[r] + (x - xref) * dVdx + (y - yref) * dVdy);
        if (u >= uLimit || v >= vLimit) return;
        const int tu = static_cast<int>(u >> 18), tv = static_cast<int>(v >> 18);
        int weight = 0;
        if (blendGraphic != nullptr) {
            const uint8_t w = blendGraphic->pixels[tv * blendGraphic->base->pitch + tu];
            weight = SpanReferenceWeight(settings.borderParam, settings.borderRange, w);
        }
        WriteTestPixel(destination, dx, dy, SpanReferencePixel(draw, ReadTestPixel(source, tu, tv), weight, before));
    };

    // Steps 8 and 10: the walk.
    int64_t y = ToPixel(Y[t]);
    int64_t leftX = left[leftSeg].startX, leftSlope = left[leftSeg].slope, leftCount = left[leftSeg].height;
    int64_t rightX = right[rightSeg].startX, rightSlope = right[rightSeg].slope, rightCount = right[rightSeg].height;
    for (;;) {
        int64_t xl = ToPixel(leftX);
        const int64_t xr = ToPixel(rightX);
        if (xl < area.left) xl = area.left;
        int64_t count = xr - xl + 1;
        if (!(y < area.top || y >= area.bottom || xl >= area.right || count <= 0)) {
            for (int64_t x = xl; count > 0 && x < area.right; ++x, --count) drawPixel(x, y);
        }
        leftX += leftSlope;
        rightX += rightSlope;
        --leftCount;
        --rightCount;
        ++y;
        if (leftCount == 0) {
            if (leftSeg == 1) return;
            leftSeg = 1;
            leftX = left[1].startX, leftSlope = left[1].slope, leftCount = left[1].height;
            y = ToPixel(left[1].startY);
        }
        if (rightCount == 0) {
            if (rightSeg == 1) return;
            rightSeg = 1;
            rightX = right[1].startX, rightSlope = right[1].slope, rightCount = right[1].height;
        }
    }
}

void ReferenceQuad(MEMIMG* destination, const MEMIMG* source, const int* corners, int transparencyFlag,
                   const MEMIMG* blendGraphic, const ReferenceSettings& settings) {
    if (source == nullptr) return;
    int64_t minX = corners[0], maxX = corners[0], minY = corners[1], maxY = corners[1];
    for (int i = 0; i < 4; ++i) {
        minX = std::min<int64_t>(minX, corners[2 * i]);
        maxX = std::max<int64_t>(maxX, corners[2 * i]);
        minY = std::min<int64_t>(minY, corners[2 * i + 1]);
        maxY = std::max<int64_t>(maxY, corners[2 * i + 1]);
    }
    const RECT test = ClipRect(RECT{static_cast<LONG>(minX - 2), static_cast<LONG>(minY - 2),
                                    static_cast<LONG>(maxX + 4), static_cast<LONG>(maxY + 4)},
                               settings.drawArea);
    if (test.left == test.right || test.top == test.bottom) return;
    const int W = source->width, H = source->height;
    const int v[4][4] = {{corners[0], corners[1], 0, 0},
                         {corners[2], corners[3], W, 0},
                         {corners[4], corners[5], 0, H},
                         {corners[6], corners[7], W, H}};
    const int first[12] = {v[0][0], v[0][1], v[0][2], v[0][3], v[1][0], v[1][1],
                           v[1][2], v[1][3], v[2][0], v[2][1], v[2][2], v[2][3]};
    const int second[12] = {v[1][0], v[1][1], v[1][2], v[1][3], v[2][0], v[2][1],
                            v[2][2], v[2][3], v[3][0], v[3][1], v[3][2], v[3][3]};
    ReferenceTriangle(destination, source, first, transparencyFlag, blendGraphic, 0, settings);
    ReferenceTriangle(destination, source, second, transparencyFlag, blendGraphic, 0, settings);
}

void ReferenceRotateBlit(MEMIMG* destination, const MEMIMG* source, int centreX, int centreY, float angle,
                         float scale, int transparencyFlag, int mirrorFlag, const MEMIMG* blendGraphic,
                         const ReferenceSettings& settings) {
    // Step 1: refusals (and the implementer's choices).
    if (source->base->colorType != destination->base->colorType) return;
    if (destination->base->paletteFlag == 1 || destination->base->alphaFlag == 1) return;
    if (!std::isfinite(angle) || !std::isfinite(scale) || scale == 0.0f) return;

    // Step 2: sine and cosine, each times 2^18 rounded to float, truncated.
    float sN, cN, sP, cP;
    SinCosFloat(-angle, &sN, &cN);
    SinCosFloat(angle, &sP, &cP);
    const auto fixed = [](float x) { return int64_t{Truncate(static_cast<float>(static_cast<double>(x) * 262144.0))}; };
    const int64_t Sn = fixed(sN), Cn = fixed(cN), Sp = fixed(sP), Cp = fixed(cP);

    // Steps 3 and 4: half sizes and corners.
    const uint32_t width = static_cast<uint32_t>(source->width), height = static_cast<uint32_t>(source->height);
    const float hw = static_cast<float>(static_cast<double>(width) * double{scale} * 0.5);
    const float hh = static_cast<float>(static_cast<double>(height) * double{scale} * 0.5);
    const float a = static_cast<float>(double{hw} * static_cast<double>(Cp));
    const float b = static_cast<float>(double{hw} * static_cast<double>(Sp));
    const float c = static_cast<float>(double{hh} * static_cast<double>(Cp));
    const float d = static_cast<float>(double{hh} * static_cast<double>(Sp));
    const auto sum = [](float x, float y) { return static_cast<float>(double{x} + double{y}); };
    // A corner coordinate: the centre << 18 plus the offset, taken as a 32-bit int.
    const auto corner = [](int centre, float offset) {
        return static_cast<int32_t>(static_cast<uint32_t>((int64_t{centre} * kUnit + Truncate(offset)) & 0xFFFFFFFF));
    };
    const int32_t C[4][2] = {{corner(centreX, sum(d, -a)), corner(centreY, sum(-c, -b))},
                             {corner(centreX, sum(-a, -d)), corner(centreY, sum(c, -b))},
                             {corner(centreX, sum(a, -d)), corner(centreY, sum(c, b))},
                             {corner(centreX, sum(a, d)), corner(centreY, sum(b, -c))}};

    // Step 5: the mirrored draw.
    if (mirrorFlag != 0) {
        const int points[8] = {C[3][0] / 262144, C[3][1] / 262144, C[0][0] / 262144, C[0][1] / 262144,
                               C[2][0] / 262144, C[2][1] / 262144, C[1][0] / 262144, C[1][1] / 262144};
        ReferenceQuad(destination, source, points, transparencyFlag, blendGraphic, settings);
        return;
    }

    // Step 6: column steps.
    const int64_t du = Truncate(static_cast<float>(static_cast<float>(Cp) / scale));
    const int64_t dv = Truncate(static_cast<float>(static_cast<float>(Sn) / scale));

    // Step 7: the box.
    int32_t minX = C[0][0], maxX = C[0][0], minY = C[0][1], maxY = C[0][1];
    for (const auto& p : C) {
        minX = std::min(minX, p[0]), maxX = std::max(maxX, p[0]);
        minY = std::min(minY, p[1]), maxY = std::max(maxY, p[1]);
    }
    const RECT area = ClipRect(settings.drawArea, RECT{0, 0, destination->width, destination->height});
    const RECT box = ClipRect(RECT{minX / 262144 - 2, minY / 262144 - 2, maxX / 262144 + 4, maxY / 262144 + 4}, area);
    if (box.left == box.right || box.top == box.bottom) return;

    // Step 8: the inverse mapping, in 32-bit int arithmetic (modulo 2^32).
    const auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v & 0xFFFFFFFF)); };
    const auto U = [&](int64_t x, int64_t y) {
        const int32_t n = wrap((x - centreX) * Cn - (y - centreY) * Sn);
        return int64_t{Truncate(static_cast<float>(static_cast<double>(n) / scale))} + int64_t{width >> 1} * kUnit;
    };
    const auto V = [&](int64_t x, int64_t y) {
        const int32_t n = wrap((y - centreY) * Cn + (x - centreX) * Sn);
        return int64_t{Truncate(static_cast<float>(static_cast<double>(n) / scale))} + int64_t{height >> 1} * kUnit;
    };

    // Step 9: start and the step from one row's start to the next.
    const int64_t rows = box.bottom - box.top;
    const int64_t u0 = U(box.left, box.top), v0 = V(box.left, box.top);
    const int64_t uRow = wrap(U(box.left, box.bottom) - u0) / rows;
    const int64_t vRow = wrap(V(box.left, box.bottom) - v0) / rows;

    // Steps 12 to 14: the variant and the mode.
    const int type = source->base->colorType;
    if (type != kMemImgColor565 && type != kMemImgColor32) return;
    if (blendGraphic != nullptr && (blendGraphic->width < source->width || blendGraphic->height < source->height))
        return;
    uint32_t palette[256];
    const SpanDraw draw = DescribeDraw(destination, source, transparencyFlag, blendGraphic, settings, palette);
    if (!SpanDrawDraws(draw)) return;

    // The walk: pixel (i, j) of the box.
    for (int64_t j = 0; j < rows; ++j) {
        for (int64_t i = 0; i < box.right - box.left; ++i) {
            const uint32_t u = static_cast<uint32_t>((u0 + j * uRow + i * du) & 0xFFFFFFFF);
            const uint32_t v = static_cast<uint32_t>((v0 + j * vRow + i * dv) & 0xFFFFFFFF);
            if (uint64_t{u} >= uint64_t{width} << 18 || uint64_t{v} >= uint64_t{height} << 18) continue;
            const int tx = static_cast<int>(u >> 18), ty = static_cast<int>(v >> 18);
            int weight = 0;
            if (blendGraphic != nullptr)
                weight = SpanReferenceWeight(settings.borderParam, settings.borderRange,
                                             blendGraphic->pixels[ty * blendGraphic->base->pitch + tx]);
            const int x = static_cast<int>(box.left + i), y = static_cast<int>(box.top + j);
            const uint32_t before = ReadTestPixel(destination, x, y);
            WriteTestPixel(destination, x, y,
                           SpanReferencePixel(draw, ReadTestPixel(source, tx, ty), weight, before));
        }
    }
}
