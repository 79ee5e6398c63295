// How an image is cut into textures: each axis into power-of-two lengths the
// device takes, the pieces laid out row by row, and on a device that takes
// only square textures every oblong piece cut into squares.
#pragma once

struct TexturePiece;

// The most pieces, columns or rows one image may have.
constexpr int kMaxTexturePieces = 256;

// Cuts one axis of `length` pixels into texture lengths, written to `sizes`
// (room for kMaxTexturePieces). Short axes, and those for which no division
// is asked and whose one texture the device takes, get a single texture of
// the next power of two (at least 8); others are cut into decreasing powers
// of two, the last one rounded up. The number of lengths, or -1 when it would
// exceed kMaxTexturePieces.
int DivideTextureAxis(int length, int maxTextureSize, int screenWidth, int noDivision, int* sizes);

// Lays out the pieces of a width x height image into `pieces` (room for
// kMaxTexturePieces): position, used size and texture size of each, nothing
// else touched. The number of pieces, or -1 when the image needs more pieces,
// columns or rows than kMaxTexturePieces.
int LayOutTexturePieces(int width, int height, int maxTextureSize, int screenWidth, int noDivision,
                        int squareOnly, TexturePiece* pieces);
