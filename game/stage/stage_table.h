// What a stage code stands for, and the tile grid its map file fills.
#pragma once

#include "game/stage/tile_kinds.h"

class CStageBackground;

// The map's column count (the tile grid's row stride) and the stage code in
// play; set by the stage scene at set-up.
extern int MapColumns;
extern int TileIndexWidth;
extern int CurrentStageCode;

// The scroll background a stage part makes (none for stage 1).
enum class StageScrollBackground { None, Stage2A, Stage2B, Stage3, Stage4, Stage5 };

// One stage part. The map scrolls up to (columns - 10) x 64 pixels; the view
// starts (viewRow - 4) x 64 pixels down; musicEntry indexes the stage sounds.
struct StageTableEntry {
    int code;
    int mapIndex;
    int columns;
    int rows;
    int viewRow;
    StageScrollBackground scrollBackground;
    int musicEntry;
};

constexpr int kStageTableCount = 10;
constexpr int kStageMapCount = 11;
// The tile value a cell gets when its map file has ended early: -1 - '0'.
constexpr int kTileEndOfFile = -1 - '0';

// The row of a stage code, or null when the code is not a stage part.
const StageTableEntry* FindStageTableEntry(int stageCode);
// The row of a stage code for the stage scene's set-up; a code that is not a
// stage part shows "マップデータの読み込みに失敗" (no caption, error icon),
// posts a quit message with exit code 1 and gives null.
const StageTableEntry* LookUpStageForScene(int stageCode);
// All rows in table order; *countOut (may be null) receives their number, 10.
const StageTableEntry* StageTableEntries(int* countOut);
// The map file of a map index 1..11 (no extension), or null.
const char* StageMapFileName(int mapIndex);
// The background layout file of a map index 1..11, or null.
const char* StageBackgroundFileName(int mapIndex);
// The scenario file of a map's guide box at tile value 49..53, or null for none.
const char* GuideMessageBoxFileName(int mapIndex, int tileValue);

// Reads rows x columns cells of a map file into the grid (row-major, row
// length columns): '0'-'9', 'A'-'Z', 'a'-'z' are cells worth the byte - '0',
// every other byte is skipped, and cells past the end get kTileEndOfFile.
// Reads nothing when rows or columns are below 1. Does not open or close.
void ReadMapCells(int* tiles, int rows, int columns, int (*readByte)(void* source), void* source);

// Fills the tile grid from the map file of the map index, then the layout
// from its background file. 0 on success; -1 when the map index is outside
// 1..11 or the map file does not open (after the message box "Failed to load
// stage data." and a quit message with exit code 0), or when the layout does
// not load. The grid is zero-filled before anything is read, so a failed load
// never leaves it undefined.
int LoadStageMapFiles(int* tiles, CStageBackground* background, int mapIndex, int rows, int columns);
