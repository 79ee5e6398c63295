// Slow, literal statements of the triangle draw, of the four-corner draw
// and of the rotated blit, for
// checking the fast ones. They follow
// the rules' steps in their order, address pixels by multiplying
// coordinates, compute every texture coordinate from the reference vertex in
// closed form, draw every pixel through the span reference
// (span_reference.h), and share no code with the framework's draws.
//
// Where the rules leave a choice open they make the framework's:
// coordinates outside -8192 to 8191 and blend graphics smaller than the source
// draw nothing, and the draw area is first kept inside the destination; the
// rotated blit draws nothing for a scale of 0 or a scale or angle that is not
// finite, and takes its 14.18 sums modulo 2^32.
#pragma once

#include "framework/softrender/memimg.h"
#include "tests/support/reference_blit.h"

// What RasterTriangleMemImg should leave in `destination`, drawn into it.
void ReferenceTriangle(MEMIMG* destination, const MEMIMG* source, const int* vertices, int transparencyFlag,
                       const MEMIMG* blendGraphic, int colour, const ReferenceSettings& settings);

// What RasterQuadMemImg should leave in `destination`, drawn into it.
void ReferenceQuad(MEMIMG* destination, const MEMIMG* source, const int* corners, int transparencyFlag,
                   const MEMIMG* blendGraphic, const ReferenceSettings& settings);

// What RotateBlitMemImg should leave in `destination`, drawn into it. The
// source coordinate of the pixel in column i and row j of the box is stated
// in closed form (the start plus j row steps plus i column steps).
void ReferenceRotateBlit(MEMIMG* destination, const MEMIMG* source, int centreX, int centreY, float angle,
                         float scale, int transparencyFlag, int mirrorFlag, const MEMIMG* blendGraphic,
                         const ReferenceSettings& settings);
