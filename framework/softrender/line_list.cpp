// A list of lines drawn one after the other.
#include "framework/softrender/line_draw.h"

void LineListMemImg(MEMIMG* destination, const MemImgLine* lines, int count, const MemImgDrawSettings& settings) {
    if (lines == nullptr) return;
    for (int i = 0; i < count; ++i)
        LineMemImg(destination, lines[i].x1, lines[i].y1, lines[i].x2, lines[i].y2, lines[i].color, settings);
}
