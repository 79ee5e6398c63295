// The framework's spine: the locked entry points that start and end the whole
// framework and pump its messages, the start-up and shutdown sequences they
// run, and the system report written at start-up. The start-up hands the
// shutdown to the fatal exit (framework/base/fatal_exit.h).
#pragma once

// The framework's version as the log reports it.
constexpr const char* FrameworkVersionText = "1.00";

// 0 at once when already started; else the start-up under the framework
// lock: 0 on success, -1 on failure.
int InitFramework();
// 0 at once when not started; else the shutdown under the lock, after which
// the lock is torn down (it is made again on its next use). Returns 0.
int EndFramework();
// The message pump under the lock: 0 while the program runs, -1 once it is to end.
int PumpMessagesLocked();

// The sequences themselves, without the lock.
int InitFrameworkCore();
int EndFrameworkCore();

// Writes the OS, timer and processor report to the log, sets the version code
// and the processor facts, and raises the timer resolution. Returns 0.
int LogSystemInfo();
