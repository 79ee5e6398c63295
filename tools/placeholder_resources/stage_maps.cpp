#include "tools/placeholder_resources/stage_maps.h"

#include <algorithm>
#include <set>

#include "game/stage/stage_table.h"

namespace placeholder {

namespace {

// Tile characters (the tile value is the character less '0').
constexpr char kEmpty = '0';
constexpr char kSolid = '1';
constexpr char kStart = '2';
constexpr char kWalker = '3';  // the plain walking hamushi
constexpr char kGoal = '4';
constexpr char kSpikes = '5';
constexpr char kSideElevator[] = "678";  // left end, centre, right end
constexpr char kRecoveryItem = '9';
constexpr char kTurret = 'A';          // facing flag set
constexpr char kTurretPlain = 'B';     // facing flag clear
constexpr char kBlockTile = 'C';       // 19
constexpr char kFloorTile = 'D';       // 20
constexpr char kMirelle = 'E';         // 21
constexpr char kChinton = 'F';         // 22
constexpr char kHamushiShot = 'G';     // 23
constexpr char kHangingTurret = 'H';   // 24
constexpr char kHangingTurret2 = 'I';  // 25
constexpr char kRestartMarker = 'J';   // 26
constexpr char kPit = 'K';             // 27
constexpr char kWallTile = 'L';        // 28
constexpr char kDecoration = 'M';      // 29
constexpr char kSpellArt = 'N';        // 30
constexpr char kHighDecoration = 'O';  // 31
constexpr char kSpellItem = 'P';       // 32
constexpr char kWatadama = 'Q';        // 33
constexpr char kSekito = 'R';          // 34
constexpr char kArmorDevil = 'S';      // 35
constexpr char kArmorDevilLeader = 'T';  // 36
constexpr char kFenwa = 'U';           // 37
constexpr char kStoneSnake = 'V';      // 38
constexpr char kUpDownElevator = 'W';  // 39
constexpr char kSinkingFloor = 'X';    // 40
constexpr char kDashPanel = 'Y';       // 41
constexpr char kCrumblingBlock = 'Z';  // 42
constexpr char kFirstGuideBox = 'a';   // 49
constexpr char kUpSign = 'f';          // 54
constexpr char kFallingBlock = 'g';    // 55
constexpr char kPillars[] = "hijklm";  // 56..61, stage 5's pillar and rope tiles

// The test map has no row in the stage table; it is laid out like a short
// stage part.
constexpr int kTestMapColumns = 60;
constexpr int kTestMapRows = 20;
constexpr int kTestMapViewRow = 14;

// Stage 302's destruction front speeds up to 8 pixels a frame, faster than
// the player's walk; its goal stands early enough that a plain walk stays
// ahead of the front.
constexpr int kStage302GoalColumn = 120;

// The view shows the rows from the view row - 4 to the view row + 3; the
// floor is the lowest of them, so that the most of the screen lies above it.
constexpr int kFloorBelowViewRow = 3;
// Above the floor: the guide boxes and hanging turrets, the enemies' ledge,
// the enemies standing on it, the side elevator, the up-down elevator. A
// full jump lifts the body's top 210 pixels, into row floor - 6 but not to
// the bottom of row floor - 7.
constexpr int kBoxRise = 6;
constexpr int kLedgeRise = 7;
constexpr int kSideElevatorRise = 10;
constexpr int kUpDownElevatorRise = 12;

// Left of the enemies' ledge, with a free column between them so that the
// walkers still turn at the ledge's end.
constexpr int kSinkingFloorColumn = 3;

bool IsStageFive(int stageCode) { return stageCode == 5 || stageCode == 502; }

// The enemies of a stage, each a tile character: every kind, the stone
// snake only in stage 5 (its pictures are in stage 5's list alone).
std::string EnemyTiles(int stageCode) {
    std::string enemies = {kWalker, kMirelle, kChinton, kHamushiShot, kWatadama,
                           kSekito, kArmorDevil, kArmorDevilLeader, kFenwa};
    if (stageCode == 0 || IsStageFive(stageCode)) enemies += kStoneSnake;
    return enemies;
}

// How many rows above its own cell an enemy reaches: its height in tiles.
int EnemyHeight(char enemy) {
    if (enemy == kStoneSnake) return 4;
    if (enemy == kMirelle || enemy == kChinton || enemy == kFenwa) return 2;
    return 1;
}

class MapBuilder {
public:
    MapBuilder(StageMapDesign& design) : design_(design) {
        design_.cells.assign(design_.rows, std::string(design_.columns, kEmpty));
    }

    void Put(int row, int column, char tile) {
        if (row >= 0 && row < design_.rows && column >= 0 && column < design_.columns)
            design_.cells[row][column] = tile;
    }

    // The floor row and everything below it solid.
    void Ground() {
        for (int row = design_.floorRow; row < design_.rows; ++row)
            for (int column = 0; column < design_.columns; ++column) Put(row, column, kSolid);
    }

    // A wall three tiles high on the floor.
    void Wall(int column) {
        for (int rise = 1; rise <= 3; ++rise) Put(design_.floorRow - rise, column, kSolid);
    }

    void OnFloor(int column, char tile) { Put(design_.floorRow - 1, column, tile); }
    void InFloor(int column, char tile) { Put(design_.floorRow, column, tile); }
    void Above(int rise, int column, char tile) { Put(design_.floorRow - rise, column, tile); }

    // A one-tile obstacle pair (or single) at column, jumped over from it.
    void Obstacle(int column, char first, char second) {
        OnFloor(column, first);
        if (second != kEmpty) OnFloor(column + 1, second);
        design_.jumpColumns.push_back(column);
    }

    // A two-tile gap in the floor row, with a pit object in each cell (a
    // fall sends the player back to the restart marker) or a spike bed.
    void Gap(int column, bool spikes) {
        for (int c = column; c < column + 2; ++c) InFloor(c, spikes ? kSpikes : kPit);
        design_.jumpColumns.push_back(column);
    }

private:
    StageMapDesign& design_;
};

// The patterns along the floor, each a few columns wide, the feature at its
// second column; the first run of them places every object of the stage.
enum class Segment { Turrets, Blocks, PitGap, SpikeBed, Pillars, Step, PlainGap };

int SegmentWidth(Segment segment) { return segment == Segment::Pillars ? 7 : 5; }

void PlaceSegment(MapBuilder& map, Segment segment, int s) {
    switch (segment) {
        case Segment::Turrets:
            map.Obstacle(s + 1, kTurret, kTurretPlain);
            map.OnFloor(s + 3, kHighDecoration);
            map.InFloor(s + 4, kBlockTile);
            break;
        case Segment::Blocks:
            map.Obstacle(s + 1, kCrumblingBlock, kFallingBlock);
            map.OnFloor(s + 3, kUpSign);
            map.InFloor(s + 4, kWallTile);
            break;
        case Segment::PitGap:
            map.Gap(s + 1, false);
            map.OnFloor(s + 4, kRecoveryItem);
            break;
        case Segment::SpikeBed:
            map.Gap(s + 1, true);
            map.OnFloor(s + 4, kSpellItem);
            break;
        case Segment::Pillars:
            for (int i = 0; i < 6; ++i) map.InFloor(s + 1 + i, kPillars[i]);
            break;
        case Segment::Step:
            map.Obstacle(s + 1, kSolid, kEmpty);
            break;
        case Segment::PlainGap:
            map.Gap(s + 1, false);
            break;
    }
}

void FillDesign(StageMapDesign& design) {
    MapBuilder map(design);
    const int lastColumn = design.columns - 1;
    map.Ground();
    map.Wall(0);

    // The start area: the start tile, a restart marker before the first
    // hazard, a few drawn decorations.
    design.startColumn = 2;
    map.Above(2, design.startColumn, kStart);
    map.OnFloor(1, kSpellArt);
    map.OnFloor(3, kDecoration);
    map.InFloor(3, kFloorTile);
    map.OnFloor(4, kRestartMarker);

    // The end: the goal, a dash panel two columns before it, a wall behind it
    // where the goal stands at the map's end.
    design.goalColumn = design.stageCode == 302 ? kStage302GoalColumn : lastColumn - 2;
    design.dashColumn = design.goalColumn - 2;
    map.OnFloor(design.goalColumn, kGoal);
    map.OnFloor(design.dashColumn, kDashPanel);
    // A wall two columns behind the goal stops the dash at the goal, also
    // where the goal stands before the map's end.
    map.Wall(design.goalColumn + 2);

    // The floor patterns up to the dash panel.
    std::vector<Segment> segments = {Segment::Turrets, Segment::Blocks, Segment::PitGap, Segment::SpikeBed};
    if (design.stageCode == 0 || IsStageFive(design.stageCode)) segments.push_back(Segment::Pillars);
    const int segmentsEnd = design.dashColumn - 1;  // last column a segment may use
    int s = 5;
    for (Segment segment : segments) {
        if (s + SegmentWidth(segment) - 1 > segmentsEnd) break;
        PlaceSegment(map, segment, s);
        s += SegmentWidth(segment);
    }
    for (int i = 0; s + SegmentWidth(Segment::Step) - 1 <= segmentsEnd; ++i) {
        PlaceSegment(map, i % 2 == 0 ? Segment::Step : Segment::PlainGap, s);
        s += SegmentWidth(Segment::Step) + 2;
    }

    // The enemies' ledge, out of the player's reach, one enemy every second
    // column; walkers turn at its ends.
    const std::string enemies = EnemyTiles(design.stageCode);
    const int ledgeStart = 5;
    for (int c = ledgeStart; c <= ledgeStart + 2 * static_cast<int>(enemies.size()); ++c)
        map.Above(kLedgeRise, c, kSolid);
    for (size_t i = 0; i < enemies.size(); ++i)
        map.Above(kLedgeRise + EnemyHeight(enemies[i]), ledgeStart + 1 + 2 * static_cast<int>(i), enemies[i]);

    // The sinking floor hangs off the route, at the ledge's height before
    // its start: stood on, it sinks its rider four tiles, so in a slot of
    // the floor it would leave the player in a hole too deep to jump out of.
    map.Above(kLedgeRise, kSinkingFloorColumn, kSinkingFloor);

    // Guide boxes (those the stage table gives a file) and hanging turrets.
    int boxColumn = 7;
    for (int tile = kFirstGuideBoxTile; tile <= kLastGuideBoxTile; ++tile)
        if (GuideMessageBoxFileName(design.mapIndex, tile) != nullptr) {
            map.Above(kBoxRise, boxColumn, static_cast<char>('0' + tile));
            boxColumn += 2;
        }
    map.Above(kBoxRise, 17, kHangingTurret);
    map.Above(kBoxRise, 19, kHangingTurret2);

    // The elevators ride above everything else.
    for (int i = 0; i < 3; ++i) map.Above(kSideElevatorRise, 1 + i, kSideElevator[i]);
    map.Put(std::max(0, design.floorRow - kUpDownElevatorRise), 1, kUpDownElevator);
}

}  // namespace

StageMapDesign DesignStageMap(int mapIndex) {
    StageMapDesign design;
    design.mapIndex = mapIndex;
    int viewRow = kTestMapViewRow;
    design.columns = kTestMapColumns;
    design.rows = kTestMapRows;
    int count = 0;
    const StageTableEntry* entries = StageTableEntries(&count);
    for (int i = 0; i < count; ++i)
        if (entries[i].mapIndex == mapIndex) {
            design.stageCode = entries[i].code;
            design.columns = entries[i].columns;
            design.rows = entries[i].rows;
            viewRow = entries[i].viewRow;
            break;
        }
    design.floorRow = std::min(viewRow + kFloorBelowViewRow, design.rows - 1);
    FillDesign(design);
    return design;
}

std::string RequiredStageTiles(int mapIndex) {
    const StageMapDesign design = DesignStageMap(mapIndex);
    std::string tiles = {kStart, kGoal, kRestartMarker, kPit, kSpikes, kRecoveryItem, kSpellItem,
                         kTurret, kTurretPlain, kHangingTurret, kHangingTurret2,
                         kUpDownElevator, kSinkingFloor, kDashPanel, kCrumblingBlock, kFallingBlock,
                         kSideElevator[0], kSideElevator[1], kSideElevator[2],
                         kBlockTile, kFloorTile, kWallTile, kDecoration, kSpellArt, kHighDecoration, kUpSign};
    tiles += EnemyTiles(design.stageCode);
    if (design.stageCode == 0 || IsStageFive(design.stageCode)) tiles += kPillars;
    for (int tile = kFirstGuideBoxTile; tile <= kLastGuideBoxTile; ++tile)
        if (GuideMessageBoxFileName(mapIndex, tile) != nullptr) tiles += static_cast<char>('0' + tile);
    return tiles;
}

namespace {

// The layouts with pictures of their own: the number of piece pictures.
struct LayoutPieces {
    const char* name;
    int pieces;
};

constexpr LayoutPieces kLayoutPieces[] = {
    {"resource\\mapdata\\bg_stage1a", 11}, {"resource\\mapdata\\bg_stage1b", 12},
    {"resource\\mapdata\\bg_stage2a", 3},  {"resource\\mapdata\\bg_stage2b", 21},
    {"resource\\mapdata\\bg_stage4a", 11}, {"resource\\mapdata\\bg_stage4b", 15},
};

// The piece pictures are full-screen pictures; the layout tiles them over the
// whole map, cycling through the pieces a digit can name (1 to 9).
constexpr int kPieceWidth = 640;
constexpr int kPieceHeight = 480;

std::string LayoutBytes(const std::string& name, const StageMapDesign& design) {
    int pieces = 0;
    for (const LayoutPieces& layout : kLayoutPieces)
        if (name == layout.name) pieces = layout.pieces;
    // A layout without pictures of its own: one empty cell.
    if (pieces == 0) return "640\r\n480,0\r\n";
    const int columns = (design.columns * 64 + kPieceWidth - 1) / kPieceWidth;
    const int rows = (design.rows * 64 + kPieceHeight - 1) / kPieceHeight;
    const int digits = std::min(pieces, 9);
    std::string bytes;
    for (int c = 0; c < columns; ++c) {
        if (c) bytes += ',';
        bytes += std::to_string(kPieceWidth);
    }
    bytes += "\r\n";
    for (int r = 0; r < rows; ++r) {
        bytes += std::to_string(kPieceHeight) + ",";
        for (int c = 0; c < columns; ++c) bytes += static_cast<char>('1' + (r * columns + c) % digits);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace

std::vector<StageDataFile> StageDataFiles() {
    std::vector<StageDataFile> files;
    std::set<std::string> layouts;
    for (int mapIndex = 1; mapIndex <= kStageMapCount; ++mapIndex) {
        const StageMapDesign design = DesignStageMap(mapIndex);
        std::string bytes;
        for (const std::string& row : design.cells) bytes += row + "\r\n";
        files.push_back(StageDataFile{StageMapFileName(mapIndex), bytes});
        const std::string layout = StageBackgroundFileName(mapIndex);
        if (layouts.insert(layout).second) files.push_back(StageDataFile{layout, LayoutBytes(layout, design)});
    }
    return files;
}

}  // namespace placeholder
