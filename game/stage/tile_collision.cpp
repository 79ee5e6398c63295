// The tile kinds that bodies stand on and run into, and the floor, ceiling,
// wall and box tests against the map.
#include "game/stage/tile_collision.h"

#include "game/stage/stage_table.h"
#include "game/stage/tile_kinds.h"

bool IsFloorKind(int kind) {
    return kind == kTileSpikes || IsBlockKind(kind);
}

bool IsBlockKind(int kind) {
    switch (kind) {
        case kTileGround:
        case kTileTurretFacingLeft:
        case kTileTurretFacingRight:
        case kTileBlock:
        case kTileFloor:
        case kTileWall:
        case kTilePillar:
        case kTilePillarTop:
        case kTileRopedPillarLeft:
        case kTileRopedPillarMiddle:
        case kTileRopedPillarRight:
        case kTileRope:
            return true;
        default:
            return false;
    }
}

namespace {

// The index of a cell, or -1 when the cell lies outside the grid or the
// planes. A column at or beyond the row length would read into the next row
// (past the grid's end on the last row), and a large map past the planes, so
// such cells are skipped.
int CellIndex(int column, int row) {
    if (column < 0 || row < 0 || column >= TileIndexWidth) return -1;
    long long index = column + static_cast<long long>(row) * TileIndexWidth;
    if (index >= kStagePlaneSize) return -1;
    return static_cast<int>(index);
}

struct Cell {
    int kind;
    int tx;
    int ty;
};

Cell ReadCell(const int* tiles, const int* positions, int index) {
    return Cell{tiles[index], positions[index], positions[kStagePlaneSize + index]};
}

bool OverlapsBodyVertically(int ty, int y, int mode) {
    int height = mode == kLowBodyMode ? 64 : 128;
    return ty < y + height && ty + 64 > y;
}

}  // namespace

int FindFloorBelow(const int* tiles, const int* positions, int columns, int rows, int x, int y, int* kindOut) {
    int best = -50;
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            int index = CellIndex(c, r);
            if (index < 0) continue;
            Cell cell = ReadCell(tiles, positions, index);
            if (!(cell.tx + 2 <= x + 90 && cell.tx + 62 >= x + 34)) continue;
            if (!IsFloorKind(cell.kind)) continue;
            if (cell.ty == -1 || cell.ty < y + 64) continue;
            if (best == -50 || cell.ty < best) {
                best = cell.ty;
                if (kindOut) *kindOut = cell.kind;
            }
        }
    }
    return best == -50 ? -1 : best;
}

int FindCeilingAbove(const int* tiles, const int* positions, int columns, int rows, int x, int y) {
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            int index = CellIndex(c, r);
            if (index < 0) continue;
            Cell cell = ReadCell(tiles, positions, index);
            bool leftProbe = cell.tx <= x + 34 && x + 34 < cell.tx + 63;
            bool rightProbe = cell.tx <= x + 90 && x + 90 < cell.tx + 64;
            if (!leftProbe && !rightProbe) continue;
            if (!IsBlockKind(cell.kind)) continue;
            if (cell.ty == -1) continue;
            if (cell.ty + 64 >= y && cell.ty + 64 < y + 64) return cell.ty;
        }
    }
    return -1;
}

bool TestWallRight(const int* box, int x, int y, const int* tiles, const int* positions, int columns, int rows,
                   int mode, int* xOut) {
    int left = box ? box[0] : 32;
    int right = box ? box[2] : 98;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            int index = CellIndex(c, r);
            if (index < 0) continue;
            Cell cell = ReadCell(tiles, positions, index);
            if (!OverlapsBodyVertically(cell.ty, y, mode)) continue;
            if (!IsBlockKind(cell.kind)) continue;
            if (cell.tx == -1) continue;
            if (x + left < cell.tx && cell.tx <= x + right) {
                if (xOut) *xOut = cell.tx;
                return true;
            }
        }
    }
    return false;
}

bool TestWallLeft(const int* box, int x, int y, const int* tiles, const int* positions, int columns, int rows,
                  int mode, int* xOut) {
    int left = box ? box[0] : 31;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            int index = CellIndex(c, r);
            if (index < 0) continue;
            Cell cell = ReadCell(tiles, positions, index);
            if (!OverlapsBodyVertically(cell.ty, y, mode)) continue;
            if (!IsBlockKind(cell.kind)) continue;
            if (cell.tx == -1) continue;
            if (cell.tx < x + left && x + left <= cell.tx + 64) {
                if (xOut) *xOut = cell.tx;
                return true;
            }
        }
    }
    return false;
}

bool HitTestObjectRect(const ObjectBox& object, int bodyX, int bodyY, int left, int top, int right, int bottom) {
    int ox = object.useFirst ? object.x : object.altX;
    int oy = object.useFirst ? object.y : object.altY;
    return bodyX + left < ox + object.width && bodyX + right > ox && bodyY + top < oy + object.height &&
           bodyY + bottom >= oy;
}
