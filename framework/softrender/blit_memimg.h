// Drawing one memory image onto another at a position, with the draw
// settings it is given (blend mode, parameter, bright colour, draw area).
#pragma once

struct MEMIMG;
struct MemImgDrawSettings;

// Draws the whole of `source` with its top-left pixel at (x, y) of
// `destination`, clipped to the draw area. A nonzero transparency flag skips
// the source's transparent colour (sources with alpha: their clear pixels);
// `blendGraphic` (one byte a pixel, read at the source's coordinates, or
// null) weights each pixel. Draws nothing when the colour types differ, when
// the destination has a palette or alpha, or when the blend graphic is
// smaller than the source.
void BlitMemImg(MEMIMG* destination, const MEMIMG* source, int x, int y, int transparencyFlag,
                const MEMIMG* blendGraphic, const MemImgDrawSettings& settings);
