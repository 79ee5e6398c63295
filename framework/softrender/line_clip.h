// Bringing a line's end points onto a draw area, on the line through the end
// points as they were given.
#pragma once

#include "platform/win_types.h"

// A line from (x1, y1), which is drawn, towards (x2, y2), which is not.
struct LineEnds {
    int x1, y1;
    int x2, y2;
};

// Moves the start point onto `area` (left and top inclusive, right and bottom
// exclusive; not empty, and no edge below 0, as for an area inside an image) and the end point onto it or one pixel outside it.
// False, leaving `ends` as it was, when the line's bounding box misses the
// area. A line that misses the area although its box does not comes out with
// both points on the border, which may paint a border pixel.
bool ClipLineToArea(const RECT& area, LineEnds* ends);
