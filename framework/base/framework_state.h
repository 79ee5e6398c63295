// The framework-wide facts that start-up measures and that every component
// reads: whether the framework is started or starting, the start-up directory,
// and the facts about the machine's version, processor and counters.
#pragma once

#include <cstdint>

extern int FrameworkInitialised;
extern int FrameworkStarting;
extern int ComInitialised;
extern char StartDirectory[260];

extern int WindowsVersionCode;
extern int CpuHasMmx;
extern int CpuHasTimeStampCounter;
extern uint64_t TimeStampTicksPerSecond;
extern int UsePerformanceCounter;
extern uint64_t PerformanceCounterFrequency;
