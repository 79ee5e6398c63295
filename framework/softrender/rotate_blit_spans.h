// The walk of the rotated blit, run once per draw for the blend path the draw
// chose: every row of the clipped box, its 14.18 source coordinates stepped
// by two additions a row, drawn as a textured span (textured_spans.h) through
// the shared per-pixel operation under the span family's rules
// (`kSpanRules`, blend_path.h).
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

template <BlendPath P>
void WalkRotatedBox(const BlendKernelParams& k, const rotate_blit::Walk& w) {
    uint32_t u = w.u;
    uint32_t v = w.v;
    // From one row's first pixel to the next row's.
    const uint32_t duRow = w.duRow + static_cast<uint32_t>(w.cols) * w.du;
    const uint32_t dvRow = w.dvRow + static_cast<uint32_t>(w.cols) * w.dv;
    uint8_t* dest = w.dest;
    for (int row = 0; row < w.rows; ++row, u += duRow, v += dvRow, dest += w.destPitch)
        DrawTexturedSpan<P>(k, w.texture, u, v, w.du, w.dv, dest, w.cols);
}
