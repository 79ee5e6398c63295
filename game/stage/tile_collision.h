// The stage's geometric questions against the tile map: a floor below a
// body, a ceiling above it, a wall to its right or left, and the overlap of a
// body's box with a map object's box. All of them only read the map.
//
// The map is three parallel planes: the tile-kind grid and the two position
// planes (the x plane, then the y plane, kStagePlaneSize entries each). The
// entry of column c and row r lies at c + r * TileIndexWidth; a position of -1
// marks a cell without a tile. Tiles are 64 by 64 pixels.
#pragma once

// Entries in each position plane; a map has at most this many cells.
constexpr int kStagePlaneSize = 32768;

// The mode value that selects the 64-pixel body of the wall tests (the
// player's low form).
constexpr int kLowBodyMode = 11;

// Kinds that bodies stand on (kind 5 among them: a floor that is passed
// through from below and sideways).
bool IsFloorKind(int kind);
// Kinds that also stop bodies from below and from the side (the floor kinds
// without 5).
bool IsBlockKind(int kind);

// A map object's box: a non-zero useFirst places it at (x, y), zero at the
// alternative pair.
struct ObjectBox {
    int x;
    int y;
    int altX;
    int altY;
    int width;
    int height;
    int useFirst;
};

// The smallest tile top at or below y + 64 under the span x + 34 to x + 90,
// or -1; kindOut (may be null) receives the kind of the tile chosen.
int FindFloorBelow(const int* tiles, const int* positions, int columns, int rows, int x, int y, int* kindOut);
// The top of the first blocking tile whose bottom lies in y to y + 63 over
// the body's probes, or -1.
int FindCeilingAbove(const int* tiles, const int* positions, int columns, int rows, int x, int y);
// box: {left, top, right, bottom} (only left and right are read), or null for
// the default span. xOut (may be null) receives the wall tile's left x.
bool TestWallRight(const int* box, int x, int y, const int* tiles, const int* positions, int columns, int rows,
                   int mode, int* xOut);
bool TestWallLeft(const int* box, int x, int y, const int* tiles, const int* positions, int columns, int rows,
                  int mode, int* xOut);
// The body box is (bodyX + left, bodyY + top) to (bodyX + right, bodyY + bottom);
// its bottom edge touching the object's top counts as overlap.
bool HitTestObjectRect(const ObjectBox& object, int bodyX, int bodyY, int left, int top, int right, int bottom);
