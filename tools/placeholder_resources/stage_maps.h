// Placeholder stage maps and background layouts: one map for each map index
// of the stage table, sized rows x columns as the table gives them, and one
// layout file for each layout name the table uses.
//
// Every map is built from the same small patterns along one floor row, so
// that a scripted run can cross it from its start to its goal:
//   - hold KEY_RIGHT all the way;
//   - for every column c of `jumpColumns`, press JUMP once the player's map x
//     (scroll x + x) reaches 64 * c - 128 and hold it for about 25 frames
//     (long enough for the full rise, short of the 61 frames of the low form);
//   - the dash panel at `dashColumn` then carries the player into the goal.
// The jump columns are the first column of a one-tile obstacle (a pair of
// turrets, a pair of blocks, a plain step) or of a two-tile gap (a pit object
// in it, or a spike bed). Nothing else stands in the player's way: the
// enemies wait on a ledge out of reach (seven rows above the floor, beyond
// the top of a full jump), the side and up-down elevators ride higher still,
// the guide boxes and hanging turrets sit six rows above the floor, and the
// sinking floor hangs at the ledge's height left of it. A wall two columns
// behind the goal stops the dash there.
//
// The routes this gives (start tile at column 2 everywhere; the jumps at 6,
// 11, 16 and 21, then every 7 columns from the first until the dash panel):
//   map         size (cols x rows)  floor row  jumps                   dash  goal
//   stage1a     100 x 33            12         6..21, 26 + 7k to 89    95    97
//   stage1b     200 x 28            12         6..21, 26 + 7k to 187   195   197
//   stage2a     130 x 18            14         6..21, 26 + 7k to 117   125   127
//   stage2b      70 x 82            79         6..21, 26 + 7k to 61    65    67
//   stage3a     132 x 15            13         6..21, 26 + 7k to 117   127   129
//   stage3b     300 x 18            17         6..21, 26 + 7k to 110   118   120
//   stage4a      30 x 85            84         6, 11, 16, 21           25    27
//   stage4b      30 x 143           142        6, 11, 16, 21           25    27
//   stage5a     200 x 27            20         6..21, 33 + 7k to 187   195   197
//   stage5b     200 x 27            18         6..21, 33 + 7k to 187   195   197
//   teststage    60 x 20            17         6..21, 33 + 7k to 47    55    57
// (stage 5 and the test map spend columns 25..31 on the pillar tiles.)
#pragma once

#include <string>
#include <vector>

namespace placeholder {

struct StageMapDesign {
    int mapIndex = 0;
    int stageCode = 0;  // 0 for the test map, which no stage code uses
    int columns = 0;
    int rows = 0;
    int floorRow = 0;     // the row the player walks on; the body stands on its top
    int startColumn = 0;  // the start tile '2' lies at (floorRow - 2, startColumn)
    int goalColumn = 0;   // the goal tile '4' lies at (floorRow - 1, goalColumn)
    int dashColumn = 0;   // the dash panel 'Y' lies at (floorRow - 1, dashColumn)
    std::vector<int> jumpColumns;
    // rows strings of columns cells each, top row first.
    std::vector<std::string> cells;
};

// The design of map index 1..11.
StageMapDesign DesignStageMap(int mapIndex);

// The tile characters the map of a map index must hold at least once: the
// start and the goal, every map object, gimmick, turret and enemy kind of
// its stage, and a guide box for each box the stage table names.
std::string RequiredStageTiles(int mapIndex);

struct StageDataFile {
    std::string name;   // "resource\mapdata\..."
    std::string bytes;
};

// The 11 maps (rows joined by CR LF) and the layout files they name.
std::vector<StageDataFile> StageDataFiles();

}  // namespace placeholder
