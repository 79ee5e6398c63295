#include "game/stage/stage_table.h"

int MapColumns = 0;
int TileIndexWidth = 0;
int CurrentStageCode = 0;
