// Drawing a memory image turned by an angle and scaled about a point of
// another, with the draw settings it is given (blend mode, parameter, bright
// colour, draw area).
#pragma once

struct MEMIMG;
struct MemImgDrawSettings;

// Draws the whole of `source` onto `destination`, its centre texel (width / 2,
// height / 2, rounded down) on the pixel (centreX, centreY), turned by `angle`
// radians (positive turns clockwise on the screen: the source's x axis
// towards +y) and scaled by `scale`. Every pixel of the turned image's
// bounding box, widened by 2 pixels to the left and top and 4 to the right and
// bottom and clipped to the draw area, is mapped back into the source; those
// that land outside it keep their value. A nonzero transparency flag skips the
// source's transparent colour (sources with alpha: their clear pixels in modes
// 0 to 3, and in 16-bit mode 10); `blendGraphic` (one byte a pixel, read at the
// texel's coordinates, or null) weights each pixel. A nonzero mirror flag draws
// the image mirrored left to right through RasterQuadMemImg instead.
//
// Draws nothing when the colour types differ, when the destination has a
// palette or alpha, for blend modes 5 to 9 and above 11, for a scale of 0, a
// scale or angle that is not finite, or a blend graphic smaller than the
// source.
void RotateBlitMemImg(MEMIMG* destination, const MEMIMG* source, int centreX, int centreY, float angle, float scale,
                      int transparencyFlag, int mirrorFlag, const MEMIMG* blendGraphic,
                      const MemImgDrawSettings& settings);
