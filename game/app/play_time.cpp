// The play-time clock (which keeps counting across the millisecond count's
// wrap), the best-time records, and the save file, written whole and renamed
// over the old one so that a failed write keeps it.
#include "game/app/play_time.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/base/time_functions.h"
#include "framework/graphics/graphics.h"
#include "game/framework/file_numbers.h"
#include "game/framework/game_config.h"
#include "platform/kernel/kernel.h"

PlayTimer StagePlayTimer = kUnsetPlayTime;
SaveRecord BestTimeTable[kBestTimeRecordCount] = {kUnsetPlayTime, kUnsetPlayTime, kUnsetPlayTime, kUnsetPlayTime,
                                                  kUnsetPlayTime, kUnsetPlayTime, kUnsetPlayTime, kUnsetPlayTime,
                                                  kUnsetPlayTime, kUnsetPlayTime};
std::vector<SaveRecord*> BestTimeRecordList;
int GameProgress = 0;

namespace {

const char kSaveName[] = "save_ver_1.dat";
// Written in full first, then renamed over the save, so that a write that
// fails half-way never costs the player the old one.
const char kSaveTemporaryName[] = "save_ver_1.tmp";

// What SaveGameData writes: the progress, the count, and per record its
// value count and three values.
constexpr int kValuesPerRecord = 3;
constexpr File::NumberRange kProgressRange = {0, 6};
constexpr File::NumberRange kRecordCountRange = {0, kBestTimeRecordCount};
// The most of a save file that is read.
constexpr DWORD kSaveReadLimit = 64 * 1024;

// The milliseconds the clock has run: the part before the last start plus
// the part since. The millisecond count wraps at 2^31, so the part since is
// taken modulo 2^31 and a clock that runs across the wrap keeps counting.
int32_t Elapsed(const PlayTimer* timer, uint32_t now) {
    const uint32_t sinceStart = (now - timer->start) & 0x7FFFFFFFu;
    return static_cast<int32_t>(static_cast<uint32_t>(timer->offset) + sinceStart);
}

void SetDisplayFields(PlayTimer* timer, int32_t elapsed) {
    const int32_t totalSeconds = elapsed / 1000;
    timer->milliseconds = elapsed - totalSeconds * 1000;
    timer->minutes = totalSeconds / 60;
    timer->seconds = totalSeconds % 60;
}

bool SavePath(const char* name, char* path, size_t size) {
    const int length = std::snprintf(path, size, "%s/%s", DataFolderPath, name);
    return length > 0 && static_cast<size_t>(length) < size;
}

void PutInt32(std::string& bytes, int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

int32_t GetInt32(const unsigned char* bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

bool WriteWholeFile(const char* path, const std::string& bytes) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
                    written == bytes.size();
    return CloseHandle(file) != FALSE && ok;
}

bool IsTimeValue(int32_t milliseconds, int32_t seconds, int32_t minutes) {
    // The unset record's 99 seconds are a stored value too.
    return File::IsInRange(milliseconds, {0, 999}) && File::IsInRange(seconds, {0, 99}) &&
           File::IsInRange(minutes, {0, INT32_MAX});
}

}  // namespace

int PlayTimer::Update(PlayTimer* timer) {
    if (timer->paused) return -1;
    SetDisplayFields(timer, Elapsed(timer, static_cast<uint32_t>(GetMillisecondCount())));
    return 0;
}

int PlayTimer::Pause(PlayTimer* timer) {
    if (timer->paused) return 0;
    SetDisplayFields(timer, Elapsed(timer, static_cast<uint32_t>(GetMillisecondCount())));
    timer->paused = true;
    timer->offset = Elapsed(timer, static_cast<uint32_t>(GetMillisecondCount()));
    return 0;
}

void FillBestTimeRecordList() {
    BestTimeRecordList.clear();
    for (SaveRecord& record : BestTimeTable) BestTimeRecordList.push_back(&record);
}

void DrawPlayTime(int x, int y, int digits, const PlayTimer* time) {
    struct Part {
        int destination;
        int value;  // -1 the label, -2 a separator
    };
    const Part parts[] = {
        {0, -1},
        {67, (time->minutes / 100) % 10},
        {81, (time->minutes / 10) % 10},
        {95, time->minutes % 10},
        {113, -2},
        {123, (time->seconds / 10) % 10},
        {137, time->seconds % 10},
        {155, -2},
        {165, (time->milliseconds / 100) % 10},
        {179, (time->milliseconds / 10) % 10},
    };
    for (const Part& part : parts) {
        if (part.value == -1) DrawGraphicPart(x, y, 0, 0, 57, 20, digits, 1, 0);
        else if (part.value == -2) DrawGraphicPart(x + part.destination, y, 198, 0, 10, 20, digits, 1, 0);
        else DrawGraphicPart(x + part.destination, y, 57 + 14 * part.value, 0, 14, 20, digits, 1, 0);
    }
}

void UpdateBestTime(SaveRecord* record, PlayTimer time) {
    const bool faster = time.minutes != record->minutes         ? time.minutes < record->minutes
                        : time.seconds != record->seconds       ? time.seconds < record->seconds
                                                                : time.milliseconds < record->milliseconds;
    if (!faster) return;
    record->minutes = time.minutes;
    record->seconds = time.seconds;
    record->milliseconds = time.milliseconds;
}

void PackSaveFieldsToList(const SaveRecord* record, std::vector<int32_t>* list) {
    list->clear();
    list->push_back(record->milliseconds);
    list->push_back(record->seconds);
    list->push_back(record->minutes);
}

void UnpackSaveFieldsFromList(const std::vector<int32_t>& list, SaveRecord* record) {
    if (list.size() < 3) return;
    record->milliseconds = list[0];
    record->seconds = list[1];
    record->minutes = list[2];
}

bool SaveGameData() {
    std::string bytes;
    PutInt32(bytes, GameProgress);
    PutInt32(bytes, static_cast<int32_t>(BestTimeRecordList.size()));
    std::vector<int32_t> values;
    for (const SaveRecord* record : BestTimeRecordList) {
        PackSaveFieldsToList(record, &values);
        PutInt32(bytes, static_cast<int32_t>(values.size()));
        for (int32_t value : values) PutInt32(bytes, value);
    }

    char path[kConfigPathSize + 32];
    char temporary[kConfigPathSize + 32];
    if (!SavePath(kSaveName, path, sizeof(path)) || !SavePath(kSaveTemporaryName, temporary, sizeof(temporary)))
        return false;
    if (!WriteWholeFile(temporary, bytes)) {
        DeleteFileA(temporary);
        return false;
    }
    if (!MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary);
        return false;
    }
    return true;
}

// Read as it was written: the progress first, then the record count and the
// records in order. Each value that is in the file whole and within its
// range is taken; one that the file's end cuts off or that lies outside its
// range is refused, with the values that depend on it (the count governs the
// records, a value count the values that follow), and what is refused keeps
// its current value. A file of fewer than 4 bytes gives progress 0.
bool LoadGameData() {
    char path[kConfigPathSize + 32];
    if (!SavePath(kSaveName, path, sizeof(path))) return false;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD sizeHigh = 0;
    const DWORD size = GetFileSize(file, &sizeHigh);
    std::vector<unsigned char> bytes;
    bool ok = size != INVALID_FILE_SIZE;
    if (ok) {
        // What lies past the limit is not needed for ten records of three.
        bytes.resize(sizeHigh != 0 || size > kSaveReadLimit ? kSaveReadLimit : size);
        DWORD read = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) != FALSE &&
              read == bytes.size());
    }
    CloseHandle(file);
    if (!ok) return false;

    size_t at = 0;
    auto next = [&](int32_t* value) {
        if (bytes.size() - at < 4) return false;
        *value = GetInt32(bytes.data() + at);
        at += 4;
        return true;
    };
    int32_t progress = 0;
    if (!next(&progress)) {
        GameProgress = 0;
        return true;
    }
    if (File::IsInRange(progress, kProgressRange)) GameProgress = progress;
    int32_t count = 0;
    if (!next(&count) || !File::IsInRange(count, kRecordCountRange)) return true;
    for (size_t i = 0; i < static_cast<size_t>(count) && i < BestTimeRecordList.size(); ++i) {
        int32_t valueCount = 0;
        if (!next(&valueCount) || valueCount < 0) return true;
        // The values the record holds, of which the first three are its time.
        std::vector<int32_t> values;
        int32_t value = 0;
        for (int32_t k = 0; k < valueCount && next(&value); ++k)
            if (k < kValuesPerRecord) values.push_back(value);
        if (values.size() == static_cast<size_t>(kValuesPerRecord) && IsTimeValue(values[0], values[1], values[2]))
            UnpackSaveFieldsFromList(values, BestTimeRecordList[i]);
    }
    return true;
}
