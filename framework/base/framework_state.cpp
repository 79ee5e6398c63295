#include "framework/base/framework_state.h"

int FrameworkInitialised = 0;
int FrameworkStarting = 0;
int ComInitialised = 0;
char StartDirectory[260] = {};

int WindowsVersionCode = 0;
int CpuHasMmx = 0;
int CpuHasTimeStampCounter = 0;
uint64_t TimeStampTicksPerSecond = 0;
int UsePerformanceCounter = 0;
uint64_t PerformanceCounterFrequency = 0;
