// The log: "Log.txt" in the start-up directory, recreated at every start.
// Each line begins with the milliseconds since the log started and a colon,
// then one tab per indent level; a text written in pieces forms one line; every
// line feed is written as CR LF; every text also goes to the debugger output.
#pragma once

#include <cstdint>

extern int LogFileDisabled;
extern char LogFileName[256];
extern int LogIndentDepth;
extern int LogMidLine;
extern uint32_t LogStartTime;

int SetLogFileOutput(int flag);
int StartLogFile();
// Both writers always return -1, so a failing function may return its report.
int WriteLogLine(const char* text);
int WriteLogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
int IncreaseLogDepth();
int DecreaseLogDepth();

// The on-screen log.
int InitOnScreenLog();
int RefreshOnScreenLogFont();
int GetOnScreenLogFlag();
int DrawOnScreenLog();
// Shutdown's step: deletes the font unless the font system already did, and
// marks the on-screen log as not initialised.
void EndOnScreenLog();
