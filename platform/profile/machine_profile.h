// The machine profile: every fact about the simulated Windows machine, in one
// place that tests can set. Only the platform reads it; framework code never
// includes this header (tests do).
//
// The defaults describe this machine honestly: the real processor answers,
// the real clocks, no injected failures. Tests change fields and call
// ResetMachineProfile() afterwards (the test fixtures do it for them).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win_types.h"

namespace platform {

struct CpuProfile {
    // When false, the real processor answers (CPUID and RDTSC on x86).
    bool overridden = false;
    // What the overridden processor answers.
    bool identificationAvailable = true;
    uint32_t leaf0[4] = {};           // EAX EBX ECX EDX of leaf 0 (highest leaf, vendor)
    uint32_t leaf1[4] = {};           // EAX EBX ECX EDX of leaf 1 (features)
    uint32_t extendedLeaf0[4] = {};   // leaf 0x80000000 (highest extended leaf)
    uint32_t nameLeaves[3][4] = {};   // leaves 0x80000002 to 0x80000004
    // Ticks of the time-stamp counter per second. On the manual clock the
    // counter advances at this rate (0: at the real processor's rate, measured
    // once); on the real clock an overridden processor with a rate ticks at it,
    // otherwise the real counter answers.
    uint64_t timeStampTicksPerSecond = 0;
};

struct ClockProfile {
    // The manual clock: nothing moves until a test advances it, and then
    // timeGetTime, the performance counter and the time-stamp counter step
    // together. The wall clock (GetSystemTime, GetLocalTime) then stands at
    // 2000-01-01 00:00:00 UTC plus the manual time.
    bool manual = false;
    uint64_t manualNanoseconds = 0;   // time on the manual clock
    // Every read of a manual-clock source (timeGetTime, the performance
    // counter, the time-stamp counter) first advances the manual clock by this
    // much, so that code spinning on a clock ends without a second thread.
    uint64_t advanceNanosecondsPerRead = 0;
    uint32_t timeGetTimeOrigin = 0;   // timeGetTime() at manual time 0
    uint64_t performanceCounterOrigin = 0;
    uint64_t timeStampCounterOrigin = 0;
    // Counts per second reported by QueryPerformanceFrequency; 0 means the
    // machine has no performance counter (QueryPerformanceFrequency then
    // reports 0 and fails).
    uint64_t performanceFrequency = 1000000000;
    // Minutes that local time is ahead of universal time (a zone without
    // daylight saving). When `useHostZone` is true the host's zone is used.
    bool useHostZone = true;
    int32_t localOffsetMinutes = 0;
    // Timer resolution that timeGetDevCaps reports.
    uint32_t periodMin = 1;
    uint32_t periodMax = 1000000;
};

struct WindowsVersionProfile {
    uint32_t platformId = 2;  // NT
    uint32_t major = 6;
    uint32_t minor = 1;
    uint32_t build = 7601;
    std::string servicePack = "Service Pack 1";
};

struct FailureProfile {
    // The heap refuses its Nth allocation from now (1 = the next one; 0 = never),
    // counting from the moment the value is set. HeapAlloc and HeapReAlloc both
    // count. A single failure, once it has happened, sets this back to 0.
    uint64_t failHeapAllocationNumber = 0;
    // When true, every allocation from the count above on fails, not only one.
    bool failEveryHeapAllocationFromThere = false;
};

struct MachineProfile {
    WindowsVersionProfile windows;
    CpuProfile cpu;
    ClockProfile clock;
    FailureProfile failures;
};

// The profile in force. Change fields directly; ResetMachineProfile() restores
// the defaults (and clears the debug-output sink, the exit handler and the heap
// allocation count).
MachineProfile& Profile();
void ResetMachineProfile();

// The manual clock. Switching it on freezes time where the profile puts it:
// manualNanoseconds past the origins given in the profile (after a reset,
// timeGetTime stands at timeGetTimeOrigin and so on). The origins may be set
// before or after switching it on.
void UseManualClock(bool on);
void AdvanceManualClockMilliseconds(uint64_t milliseconds);
void AdvanceManualClockNanoseconds(uint64_t nanoseconds);

// Heap allocation calls (HeapAlloc and HeapReAlloc, refused ones included)
// made since the last reset.
uint64_t HeapAllocationCount();

// Everything written with OutputDebugStringA since the last clear, byte for byte.
std::string DebugOutputText();
void ClearDebugOutput();

// Called by ExitProcess instead of ending the process (empty: end the process).
void SetExitProcessHandler(std::function<void(unsigned int exitCode)> handler);

// Maps a Windows-shaped Shift-JIS path to a host path as the file calls do:
// the drive and backslashes to a POSIX path, the names to UTF-8, relative
// paths against the current directory, each missing component matched without
// regard to letter case. Returns false when the path cannot be mapped (too
// long, not convertible).
bool MapWindowsPath(const char* windowsPath, std::string& hostPath);

}  // namespace platform
