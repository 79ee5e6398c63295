// The row walk of the triangle draw, run once per draw for the blend path the
// draw chose: the edges step down one row at a time, each row is clipped to
// the draw area, and every pixel of the span goes through the shared per-pixel
// operation `BlendPixel<P>` under the span family's rules (`kSpanRules`,
// blend_path.h), which is where the spans' own rules are stated.
//
// Textured rows start their texture coordinates anew from the reference
// vertex, so nothing accumulates from row to row, and are drawn as textured
// spans (textured_spans.h): a pixel whose coordinate lies outside the source
// keeps its value.
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

// Walks the triangle from its first row to its last.
template <BlendPath P, bool kTextured>
void WalkTriangle(const BlendKernelParams& k, const raster_triangle::Walk& walk) {
    constexpr ptrdiff_t kDestBytes = DestPixelBytes(P.depth);
    const RECT& area = walk.area;
    int leftSegment = walk.leftSegment;
    int rightSegment = walk.rightSegment;
    int64_t leftX = walk.left[leftSegment].x;
    int64_t leftSlope = walk.left[leftSegment].slope;
    int leftCount = walk.left[leftSegment].height;
    int64_t rightX = walk.right[rightSegment].x;
    int64_t rightSlope = walk.right[rightSegment].slope;
    int rightCount = walk.right[rightSegment].height;
    using raster_triangle::Whole;
    int y = Whole(walk.firstRow);
    for (;;) {
        const int xl = Whole(leftX);
        const int xr = Whole(rightX);
        if (y >= area.top && y < area.bottom) {
            // Both end pixels are drawn; the left clip cuts the count once.
            const int start = std::max<int>(xl, area.left);
            const int64_t count = static_cast<int64_t>(xr) - start + 1;
            if (start < area.right && count > 0) {
                const int drawn = static_cast<int>(std::min<int64_t>(count, static_cast<int64_t>(area.right) - start));
                uint8_t* dest = walk.destPixels + static_cast<ptrdiff_t>(y) * walk.destPitch + start * kDestBytes;
                if constexpr (kTextured) {
                    const uint32_t dy = static_cast<uint32_t>(y - walk.refY);
                    const uint32_t dx = static_cast<uint32_t>(start - walk.refX);
                    const uint32_t u = walk.refU + dy * walk.dUdy + dx * walk.dUdx;
                    const uint32_t v = walk.refV + dy * walk.dVdy + dx * walk.dVdx;
                    DrawTexturedSpan<P>(k, walk.texture, u, v, walk.dUdx, walk.dVdx, dest, drawn);
                } else {
                    for (int i = 0; i < drawn; ++i, dest += kDestBytes) BlendPixel<P>(k, walk.fill, 0, dest);
                }
            }
        }
        leftX += leftSlope;
        rightX += rightSlope;
        --leftCount;
        --rightCount;
        ++y;
        if (leftCount == 0) {
            if (leftSegment == 1) return;
            leftSegment = 1;
            leftX = walk.left[1].x;
            leftSlope = walk.left[1].slope;
            leftCount = walk.left[1].height;
            y = Whole(walk.left[1].startY);
        }
        if (rightCount == 0) {
            if (rightSegment == 1) return;
            rightSegment = 1;
            rightX = walk.right[1].x;
            rightSlope = walk.right[1].slope;
            rightCount = walk.right[1].height;
        }
    }
}
