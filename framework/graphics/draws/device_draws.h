// The hardware draws: graphics at a point, stretched, rotated and on four
// corners, and filled and outlined boxes. Each appends pre-transformed
// triangles to the vertex batch (the four-corner grid excepted), changing
// states only through the cache. All return -1 without a device.
#pragma once

struct GraphicDrawPiece;
struct GraphicRecord;

// The graphic with its top-left corner at (fx, fy); x and y are the same
// place as ints, for the draw-area test. `one` has no effect.
int DrawGraphicOnDevice(const GraphicRecord* record, int x, int y, float fx, float fy, int transFlag, int one);
// The graphic's top-left corner to (fx1, fy1) and its bottom-right corner to
// (fx2, fy2); fx2 < fx1 or fy2 < fy1 mirrors it. The int corners serve the
// draw-area test; -1 when they have no width or no height. With
// `filterAware`, the graphic's own transparency holds unless filtering is
// linear.
int DrawGraphicStretchedOnDevice(int x1, int y1, int x2, int y2, float fx1, float fy1, float fx2, float fy2,
                                 const GraphicRecord* record, int transFlag, int filterAware);
// The graphic centred at (cx, cy), scaled, turned clockwise by `angle`
// radians and, with `turnFlag` 1, mirrored left-right. -1 for a scale of 0.
int DrawGraphicRotatedOnDevice(const GraphicRecord* record, float cx, float cy, double scale, double angle,
                               int transFlag, int turnFlag);
// One piece of a graphic mapped onto the corners top-left (x1, y1),
// top-right (x2, y2), bottom-left (x3, y3) and bottom-right (x4, y4). The
// caller has opened the scene and set up the pipeline.
int DrawGraphicFourCornersOnDevice(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                                   const GraphicDrawPiece* piece);

// A box from (x1, y1) to (x2, y2), right and bottom exclusive, in a screen
// colour value times the bright colour. 0 also when nothing is drawn.
int DrawRectFilledOnDevice(int x1, int y1, int x2, int y2, int colour);
// The box's one-pixel outline, clipped by the device to the draw area.
int DrawRectFrameOnDevice(int x1, int y1, int x2, int y2, int colour);

// A whole graphic with its top-left, top-right, bottom-right and bottom-left
// corners onto the four points. The int form draws an axis-aligned quad as
// the stretched draw.
int DrawGraphicFourCornersOnDeviceF(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                                    const GraphicRecord* record, int transFlag);
int DrawGraphicFourCornersOnDeviceInt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                                      const GraphicRecord* record, int transFlag);
