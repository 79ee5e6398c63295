// The stage table, the map, background and guide-box files of each map, and
// reading a map file into the tile grid.
#include "game/stage/stage_table.h"

#include <cstdint>

#include "framework/files/file_access_table.h"
#include "framework/files/file_read_interface.h"
#include "game/stage/stage_background.h"
#include "platform/user/user.h"

int MapColumns = 0;
int TileIndexWidth = 0;
int CurrentStageCode = 0;

namespace {

using Scroll = StageScrollBackground;

const StageTableEntry kStageTable[kStageTableCount] = {
    {1, 1, 100, 33, 9, Scroll::None, 16},
    {102, 2, 200, 28, 9, Scroll::None, 30},
    {2, 3, 130, 18, 11, Scroll::Stage2A, 16},
    {202, 4, 70, 82, 76, Scroll::Stage2B, 30},
    {3, 5, 132, 15, 10, Scroll::Stage3, 16},
    {302, 6, 300, 18, 14, Scroll::Stage3, 30},
    {4, 7, 30, 85, 81, Scroll::Stage4, 16},
    {402, 8, 30, 143, 139, Scroll::Stage4, 30},
    {5, 9, 200, 27, 17, Scroll::Stage5, 16},
    {502, 10, 200, 27, 15, Scroll::Stage5, 16},
};

struct MapFiles {
    const char* map;
    const char* background;
};

// By map index - 1; index 11 is a test map that no stage code uses.
const MapFiles kMapFiles[kStageMapCount] = {
    {"resource\\mapdata\\stage1a", "resource\\mapdata\\bg_stage1a"},
    {"resource\\mapdata\\stage1b", "resource\\mapdata\\bg_stage1b"},
    {"resource\\mapdata\\stage2a", "resource\\mapdata\\bg_stage2a"},
    {"resource\\mapdata\\stage2b", "resource\\mapdata\\bg_stage2b"},
    {"resource\\mapdata\\stage3a", "resource\\mapdata\\bg_dummy"},
    {"resource\\mapdata\\stage3b", "resource\\mapdata\\bg_dummy"},
    {"resource\\mapdata\\stage4a", "resource\\mapdata\\bg_stage4a"},
    {"resource\\mapdata\\stage4b", "resource\\mapdata\\bg_stage4b"},
    {"resource\\mapdata\\stage5a", "resource\\mapdata\\bg_dummy"},
    {"resource\\mapdata\\stage5b", "resource\\mapdata\\bg_dummy"},
    {"resource\\mapdata\\teststage", "resource\\mapdata\\bg_dummy"},
};

constexpr int kGuideBoxTiles = kLastGuideBoxTile - kFirstGuideBoxTile + 1;

// By map index - 1 and tile value - 49; the boxes without a file stay null.
const char* const kGuideBoxFiles[kStageMapCount][kGuideBoxTiles] = {
    {"resource\\senario\\Stage1a_messagebox_1.xml", "resource\\senario\\Stage1a_messagebox_2.xml",
     "resource\\senario\\Stage1a_messagebox_3.xml", "resource\\senario\\Stage1a_messagebox_4.xml", nullptr},
    {"resource\\senario\\Stage1b_messagebox_1.xml"},
    {"resource\\senario\\Stage2a_messagebox_1.xml"},
    {"resource\\senario\\Stage2b_messagebox_1.xml", "resource\\senario\\Stage2b_messagebox_2.xml"},
    {"resource\\senario\\Stage3a_messagebox_1.xml"},
    {},
    {"resource\\senario\\Stage4a_messagebox_1.xml"},
    {},
    {},
    {},
    {},
};

bool IsMapCell(int byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

int ReadFromFile(void* source) { return ReadFileChar(*static_cast<uintptr_t*>(source)); }

}  // namespace

const StageTableEntry* FindStageTableEntry(int stageCode) {
    for (const StageTableEntry& entry : kStageTable) {
        if (entry.code == stageCode) return &entry;
    }
    return nullptr;
}

const StageTableEntry* LookUpStageForScene(int stageCode) {
    const StageTableEntry* entry = FindStageTableEntry(stageCode);
    if (entry == nullptr) {
        MessageBoxA(nullptr, "マップデータの読み込みに失敗", nullptr, MB_ICONERROR);
        PostQuitMessage(1);
    }
    return entry;
}

const StageTableEntry* StageTableEntries(int* countOut) {
    if (countOut != nullptr) *countOut = kStageTableCount;
    return kStageTable;
}

const char* StageMapFileName(int mapIndex) {
    return mapIndex >= 1 && mapIndex <= kStageMapCount ? kMapFiles[mapIndex - 1].map : nullptr;
}

const char* StageBackgroundFileName(int mapIndex) {
    return mapIndex >= 1 && mapIndex <= kStageMapCount ? kMapFiles[mapIndex - 1].background : nullptr;
}

const char* GuideMessageBoxFileName(int mapIndex, int tileValue) {
    if (mapIndex < 1 || mapIndex > kStageMapCount) return nullptr;
    if (tileValue < kFirstGuideBoxTile || tileValue > kLastGuideBoxTile) return nullptr;
    return kGuideBoxFiles[mapIndex - 1][tileValue - kFirstGuideBoxTile];
}

void ReadMapCells(int* tiles, int rows, int columns, int (*readByte)(void* source), void* source) {
    if (rows < 1 || columns < 1) return;
    bool ended = false;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            int byte = -1;
            while (!ended) {
                byte = readByte(source);
                if (byte < 0) {
                    ended = true;
                    byte = -1;
                } else if (IsMapCell(byte)) {
                    break;
                }
            }
            tiles[row * columns + column] = byte - '0';
        }
    }
}

int LoadStageMapFiles(int* tiles, CStageBackground* background, int mapIndex, int rows, int columns) {
    if (tiles != nullptr && rows > 0 && columns > 0) {
        for (int i = 0; i < rows * columns; ++i) tiles[i] = 0;
    }
    const char* mapFile = StageMapFileName(mapIndex);
    const uintptr_t file = mapFile != nullptr ? OpenFileForRead(mapFile, 0) : 0;
    if (file == 0) {
        MessageBoxA(nullptr, "Failed to load stage data.", nullptr, MB_ICONERROR);
        PostQuitMessage(0);
        return -1;
    }
    uintptr_t source = file;
    if (tiles != nullptr) ReadMapCells(tiles, rows, columns, ReadFromFile, &source);
    FileStreamClose(file);
    if (background == nullptr) return -1;
    return background->LoadFromCsv(StageBackgroundFileName(mapIndex)) ? 0 : -1;
}
