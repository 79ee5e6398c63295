// How long the player needs for a stage: a pausable millisecond clock, the
// best time of each stage, and the save file that keeps them with the story
// progress.
#pragma once

#include <cstdint>
#include <vector>

struct PlayTimer {
    uint32_t start;        // GetMillisecondCount() when the clock last (re)started
    int32_t offset;        // milliseconds run before that start
    int32_t milliseconds;  // 0 to 999, of the last update
    int32_t seconds;       // 0 to 59
    int32_t minutes;       // unbounded
    bool paused;

    // -1 while paused (nothing changes); else recomputes the three display
    // fields from the clock and returns 0.
    static int Update(PlayTimer* timer);
    // Stops the clock where it stands; a paused clock is left alone.
    static int Pause(PlayTimer* timer);
};

// A best time keeps the clock's layout; only its display fields are saved.
using SaveRecord = PlayTimer;

// 999:99:99, beaten by any real time.
constexpr PlayTimer kUnsetPlayTime = {0, 0, 999, 99, 999, false};

constexpr int kBestTimeRecordCount = 10;

// The clock of the stage and boss scenes.
extern PlayTimer StagePlayTimer;
// Record N (1 to 6) holds stage N's best time, record 7 the boss-rush run's;
// 8 to 10 are only kept in the file.
extern SaveRecord BestTimeTable[kBestTimeRecordCount];
// The records the save file walks, in order.
extern std::vector<SaveRecord*> BestTimeRecordList;
// The highest story stage cleared, 0 to 6.
extern int GameProgress;

// Empties the record list and fills it with the ten records of the table.
void FillBestTimeRecordList();

// Three minute digits, two second digits and two hundredths digits, cut from
// the strip picture `digits`, at (x, y).
void DrawPlayTime(int x, int y, int digits, const PlayTimer* time);

// The record takes the time when it is strictly smaller, compared by
// minutes, then seconds, then milliseconds.
void UpdateBestTime(SaveRecord* record, PlayTimer time);

void PackSaveFieldsToList(const SaveRecord* record, std::vector<int32_t>* list);
void UnpackSaveFieldsFromList(const std::vector<int32_t>& list, SaveRecord* record);

// Writes "save_ver_1.dat" in the data folder; false when it cannot be
// written, and the old file is then left as it was.
bool SaveGameData();
// Takes the progress and each best time that the file holds whole and in
// range; what is cut off or out of range keeps its current value. False
// when there is no save file or it cannot be read; nothing changes then.
bool LoadGameData();
