// The public draws: a graphic at a point, mirrored, as a part, stretched,
// rotated and onto four corners, and filled and outlined rectangles. Each
// returns 0 when it drew or had nothing to draw (an empty draw area), -1 for
// a bad handle or a refused draw.
#pragma once

int DrawGraphicAtPoint(int x, int y, int handle, int transFlag);
// The same place as DrawGraphicAtPoint, mirrored left to right.
int DrawGraphicMirrored(int x, int y, int handle, int transFlag);
// The rectangle (sourceX, sourceY, width, height) of the graphic at (x, y);
// the draw area is the same afterwards as before.
int DrawGraphicPart(int x, int y, int sourceX, int sourceY, int width, int height, int handle, int transFlag,
                    int turnFlag);
// x2 < x1 or y2 < y1 mirrors.
int DrawGraphicStretched(int x1, int y1, int x2, int y2, int handle, int transFlag);
int DrawGraphicStretchedF(float x1, float y1, float x2, float y2, int handle, int transFlag);
// The rectangle (sourceX, sourceY, width, height) of the graphic, cut at the
// graphic's right and bottom edges, stretched onto (x1, y1)-(x2, y2) as
// DrawGraphicStretchedF draws; -1 also when the rectangle does not start
// inside the graphic.
int DrawGraphicRectStretchedF(float x1, float y1, float x2, float y2, int sourceX, int sourceY, int width, int height,
                              int handle, int transFlag);
// The graphic's centre at (x, y), scaled and turned by `angle` radians.
int DrawGraphicRotatedF(float x, float y, double scale, double angle, int handle, int transFlag, int turnFlag);
int DrawGraphicRotated(int x, int y, double scale, double angle, int handle, int transFlag, int turnFlag);
// The graphic's top-left, top-right, bottom-right and bottom-left corners
// onto the four points.
int DrawGraphicFourCornersF(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4, int handle,
                            int transFlag);
int DrawGraphicFourCorners(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int handle, int transFlag);
// Rectangles in a screen colour value (MakeScreenColorCode); right and bottom
// exclusive.
int DrawRectFilled(int x1, int y1, int x2, int y2, int colour);
int DrawRectFrame(int x1, int y1, int x2, int y2, int colour);
int DrawRectShape(int x1, int y1, int x2, int y2, int colour, int fillFlag);
