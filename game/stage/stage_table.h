// What a stage code stands for, and the tile grid its map file fills.
#pragma once

// The map's column count (the tile grid's row stride) and the stage code in
// play; set by the stage scene at set-up.
extern int MapColumns;
extern int TileIndexWidth;
extern int CurrentStageCode;
