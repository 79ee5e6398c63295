// Drawing a graphic's memory image onto the current software target with the
// draw settings: the software path of every public draw.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct MEMIMG;
struct MemImgLine;

// Each draws nothing while there is no software target and returns 0.
int DrawMemImgAt(const MEMIMG* image, int x, int y, int transFlag);
int DrawMemImgStretched(int x1, int y1, int x2, int y2, const MEMIMG* image, int transFlag);
int DrawMemImgRotated(int centreX, int centreY, double scale, double angle, int turnFlag, const MEMIMG* image,
                      int transFlag);
// The image's top-left, top-right, bottom-right and bottom-left corners onto
// the four points.
int DrawMemImgQuadInt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, const MEMIMG* image,
                      int transFlag);
// The float corners cut to ints toward zero.
int DrawMemImgQuad(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4, const MEMIMG* image,
                   int transFlag);
int FillMemImgBox(const RECT* rect, uint32_t colour);
int DrawMemImgLines(const MemImgLine* lines, int count);
// A box in the screen colour of (red, green, blue).
int FillBoxForFont(int x1, int y1, int x2, int y2, int red, int green, int blue);
