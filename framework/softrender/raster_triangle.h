// Textured and solid-colour triangles over memory images, and the four-corner
// draw built on them, with the draw settings they are given (blend mode,
// parameter, bright colour, draw area).
#pragma once

struct MEMIMG;
struct MemImgDrawSettings;

// Draws one triangle onto `destination`. `vertices` holds three vertices of
// four ints each, x, y, u, v: x and y in destination pixels, u and v in source
// texels (the whole source spans 0 to its width and 0 to its height). With a
// `source` the triangle is textured: u and v are interpolated linearly from
// the vertices and every pixel whose coordinate falls outside the source keeps
// its value; a nonzero transparency flag skips the source's transparent colour
// (sources with alpha: their clear pixels in modes 0 to 3, and in 16-bit mode
// 10), and `blendGraphic` (one byte a pixel, read at the texel's coordinates,
// or null) weights each pixel. Without a source the triangle is filled with
// `colour` (a 5-6-5 value for a 16-bit destination, a 32-bit pixel for a
// 32-bit one), brightened once by the bright colour; u, v, the flag and the
// blend graphic are then not used.
//
// The rows drawn are those from the top vertex's row down to the row above the
// bottom vertex's; on each row both end pixels of the span are drawn. Draws
// nothing when the source's colour type differs from the destination's, when
// the destination has a palette or alpha, when the vertices are collinear in
// whole pixels, for blend modes 5 to 9 and above 11, when a coordinate lies
// outside -8192 to 8191, or when the blend graphic is smaller than the source.
void RasterTriangleMemImg(MEMIMG* destination, const MEMIMG* source, const int* vertices,
                          int transparencyFlag, const MEMIMG* blendGraphic, int colour,
                          const MemImgDrawSettings& settings);

// Draws the whole of `source` with its four corners pinned to four points of
// `destination`, as two textured triangles. `corners` holds four points (x, y)
// in this order, which every caller keeps:
//   corners[0..1]  the point of the source's top-left corner,
//   corners[2..3]  the point of its top-right corner,
//   corners[4..5]  the point of its bottom-left corner,
//   corners[6..7]  the point of its bottom-right corner.
// The first triangle is (top-left, top-right, bottom-left), the second
// (top-right, bottom-left, bottom-right): the image is split along the
// diagonal from the top-right to the bottom-left corner, whose pixels both
// triangles draw. Swapping the left and right points mirrors the image.
// Draws nothing for a null source, or when the corners' bounding box, widened
// by 2 pixels to the left and top and 4 to the right and bottom, misses the
// draw area; otherwise each triangle makes its own refusals.
void RasterQuadMemImg(MEMIMG* destination, const MEMIMG* source, const int* corners, int transparencyFlag,
                      const MEMIMG* blendGraphic, const MemImgDrawSettings& settings);
