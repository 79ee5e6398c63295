// The line clip: the line's equation in double precision from the end points
// as given, each end moved to the area's edges in x and then in y, and a
// final clamp that keeps every pixel the walk draws inside the area.
#include "framework/softrender/line_clip.h"

#include <algorithm>
#include <cstdint>

#include "framework/base/base_functions.h"

namespace {

// a * b rounded to a double on its own. The clip is a multiply and then an
// add; a fused multiply-add skips the rounding between them, and that can
// move a clipped end point by one pixel along the border.
double Product(double a, double b) {
    volatile double product = a * b;
    return product;
}

}  // namespace

bool ClipLineToArea(const RECT& area, LineEnds* ends) {
    const int left = area.left;
    const int top = area.top;
    const int right = area.right;
    const int bottom = area.bottom;
    int x1 = ends->x1, y1 = ends->y1, x2 = ends->x2, y2 = ends->y2;

    if (std::min(x1, x2) >= right || std::min(y1, y2) >= bottom || std::max(y1, y2) < top ||
        std::max(x1, x2) < left)
        return false;

    // x at row y is bx + kx * y, y at column x is by + ky * x. The
    // differences are taken in 64 bits, where they are exact whatever the ends.
    const double differenceX = static_cast<double>(int64_t{x2} - x1);
    const double differenceY = static_cast<double>(int64_t{y2} - y1);
    const double kx = y2 == y1 ? 0.0 : differenceX / differenceY;
    const double ky = x2 == x1 ? 0.0 : differenceY / differenceX;
    const double bx = x1 - Product(kx, y1);
    const double by = y1 - Product(ky, x1);
    const auto rowAt = [&](int x) { return DoubleToInt(by + Product(ky, x)); };
    const auto columnAt = [&](int y) { return DoubleToInt(bx + Product(kx, y)); };

    if (x1 < left) {
        x1 = left;
        y1 = rowAt(left);
    } else if (x1 >= right) {
        x1 = right - 1;
        y1 = rowAt(right - 1);
    }
    if (x2 < left) {
        x2 = left - 1;
        y2 = rowAt(left - 1);
    } else if (x2 >= right) {
        x2 = right;
        y2 = rowAt(right);
    }
    if (y1 < top) {
        y1 = top;
        x1 = columnAt(top);
    } else if (y1 >= bottom) {
        y1 = bottom - 1;
        x1 = columnAt(bottom - 1);
    }
    if (y2 < top) {
        y2 = top - 1;
        x2 = columnAt(top - 1);
    } else if (y2 >= bottom) {
        y2 = bottom;
        x2 = columnAt(bottom);
    }

    // The start point is drawn, so it lies on the area; the end point is not,
    // so it may lie one pixel outside.
    ends->x1 = std::clamp(x1, left, right - 1);
    ends->y1 = std::clamp(y1, top, bottom - 1);
    ends->x2 = std::clamp(x2, left - 1, right);
    ends->y2 = std::clamp(y2, top - 1, bottom);
    return true;
}
