// The framework's clocks: the masked millisecond counter, the microsecond
// counter scaled exactly from the best counter start-up found, the local time
// and file times as DateRecords, and start-up's time-stamp counter measurement.
#include "framework/base/time_functions.h"

#include "framework/base/base_functions.h"
#include "framework/base/framework_state.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t kMillisecondMask = 0x7FFFFFFF;

// counter * 1,000,000 / ticksPerSecond, formed exactly in 128 bits.
uint64_t ScaleToMicroseconds(uint64_t counter, uint64_t ticksPerSecond) {
    static const uint64_t kMicrosecondsPerSecond = 1000000;
    uint32_t product[4];
    Multiply64To128(&counter, &kMicrosecondsPerSecond, product);
    uint64_t quotient;
    Divide128By64(product, &ticksPerSecond, &quotient);
    return quotient;
}

void CopyDateFields(const SYSTEMTIME& time, DateRecord* record) {
    record->Year = time.wYear;
    record->Month = time.wMonth;
    record->Day = time.wDay;
    record->Hour = time.wHour;
    record->Minute = time.wMinute;
    record->Second = time.wSecond;
}

}  // namespace

int GetMillisecondCount() { return static_cast<int>(timeGetTime() & kMillisecondMask); }

uint64_t GetMicrosecondCount(int useTimeStamp) {
    if (CpuHasTimeStampCounter == 1 && useTimeStamp == 1 && FrameworkInitialised == 1)
        return ScaleToMicroseconds(ReadTimeStampCounter(), TimeStampTicksPerSecond);
    if (UsePerformanceCounter != 0) {
        LARGE_INTEGER count{};
        QueryPerformanceCounter(&count);
        return ScaleToMicroseconds(static_cast<uint64_t>(count.QuadPart),
                                   PerformanceCounterFrequency);
    }
    // The full 32-bit timer, unmasked: one-millisecond resolution.
    return static_cast<uint64_t>(timeGetTime()) * 1000;
}

int GetLocalDateRecord(DateRecord* record) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    CopyDateFields(now, record);
    return 0;
}

void FileTimeToDateRecord(const FILETIME* fileTime, DateRecord* record) {
    // A time the system cannot convert leaves an all-zero record rather than
    // whatever the caller's record held.
    SYSTEMTIME time{};
    FILETIME local;
    if (!FileTimeToLocalFileTime(fileTime, &local) || !FileTimeToSystemTime(&local, &time))
        time = SYSTEMTIME{};
    CopyDateFields(time, record);
}

uint64_t MeasureTimeStampTicksOver100Milliseconds() {
    const uint64_t startTicks = ReadTimeStampCounter();
    const uint32_t startTime = timeGetTime() & kMillisecondMask;
    // The elapsed time is taken modulo 2^31, the masked timer's range, so a
    // start just below the wrap still ends 100 ms later.
    while (((timeGetTime() - startTime) & kMillisecondMask) < 100) {
    }
    return ReadTimeStampCounter() - startTicks;
}
