// The row and span loops of the software draws, compiled once for each width
// of vector the processor may have: in namespace `simd_sse2` with the 128-bit
// SSE2 instructions that every x86-64 processor has, and in `simd_avx2` with
// the 256-bit AVX2 ones. A draw picks one of the two once, by
// ActiveSimdLevel() (simd_level.h), and runs the same loop of either.
//
// The loops are written once, against the vector operations of `Lanes`
// (simd_lanes.h). The files below are read twice, each time inside its own
// namespace; the second time under the compiler's AVX2 target, which applies
// to every function they define. Whatever they call from elsewhere (the
// per-pixel operation, the library) is compiled for the baseline only, so no
// AVX2 instruction can reach a processor that lacks it.
#pragma once

#if !defined(__SSE2__)
#error "the software draw loops need SSE2, which every x86-64 processor has"
#endif

#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/softrender/blend_dispatch.h"
#include "framework/softrender/blend_path.h"
#include "framework/softrender/draw_loop_arguments.h"
#include "framework/softrender/fast_span_paths.h"
#include "framework/softrender/fill_box_pixels.h"
#include "framework/softrender/memimg.h"
#include "framework/softrender/packed_saturating.h"
#include "framework/softrender/pixel_operations.h"
#include "framework/softrender/raster_triangle_walk.h"
#include "framework/softrender/rotate_blit_walk.h"
#include "framework/softrender/simd_level.h"
#include "framework/softrender/stretch_blit_sampling.h"
#include "framework/softrender/texture_ranges.h"

#define KILN_SIMD_AVX2 0
namespace simd_sse2 {
#include "framework/softrender/simd_lanes.h"
#include "framework/softrender/blit_memimg_fast_spans.h"
#include "framework/softrender/blit_memimg_spans.h"
#include "framework/softrender/blit_memimg_rows.h"
#include "framework/softrender/stretch_blit_rows.h"
#include "framework/softrender/fill_box_rows.h"
#include "framework/softrender/textured_spans.h"
#include "framework/softrender/rotate_blit_spans.h"
#include "framework/softrender/raster_triangle_spans.h"
}  // namespace simd_sse2
#undef KILN_SIMD_AVX2

#pragma GCC push_options
#pragma GCC target("avx2")
#define KILN_SIMD_AVX2 1
namespace simd_avx2 {
#include "framework/softrender/simd_lanes.h"
#include "framework/softrender/blit_memimg_fast_spans.h"
#include "framework/softrender/blit_memimg_spans.h"
#include "framework/softrender/blit_memimg_rows.h"
#include "framework/softrender/stretch_blit_rows.h"
#include "framework/softrender/fill_box_rows.h"
#include "framework/softrender/textured_spans.h"
#include "framework/softrender/rotate_blit_spans.h"
#include "framework/softrender/raster_triangle_spans.h"
}  // namespace simd_avx2
#undef KILN_SIMD_AVX2
#pragma GCC pop_options
