// The framework's clocks: the millisecond counter, the 64-bit microsecond
// counter scaled exactly from the best counter start-up found, and the
// conversion of local time or a file time into a DateRecord.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct DateRecord {
    int32_t Year;
    int32_t Month;
    int32_t Day;
    int32_t Hour;
    int32_t Minute;
    int32_t Second;
};

// timeGetTime() with bit 31 cleared: 0 to 2147483647.
int GetMillisecondCount();
// Microseconds from an arbitrary origin; 1 allows the time-stamp counter.
uint64_t GetMicrosecondCount(int useTimeStamp);
int GetLocalDateRecord(DateRecord* record);
void FileTimeToDateRecord(const FILETIME* fileTime, DateRecord* record);

// Start-up's measurement of the time-stamp counter: the ticks over the first
// interval of at least 100 ms of the masked millisecond counter (the interval
// is measured modulo 2^31, so it ends across the counter's wrap).
uint64_t MeasureTimeStampTicksOver100Milliseconds();
