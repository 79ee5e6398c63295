// The program's start: what the loader does to start a windowed program.
// The program's own module handle, no previous instance, the command line
// after the program's name (Shift-JIS, each argument with spaces quoted) and
// SW_SHOWDEFAULT handed to WinMain, whose result is the process's exit code.
// The C entry point of the program calls this and nothing else.
//
// SIGTERM, SIGINT and SIGHUP, caught from then on, close the program's main
// window (WM_CLOSE) as the user's closing it does.
//
// The top of the platform: built on the kernel (module handle, code page),
// the window system (the show command, the close on a signal) and the host
// (its libraries' logging, taken over before WinMain runs; the signals); no
// other platform folder includes it.
// Left out: console programs and the start-up information a parent process
// hands over.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace platform {

typedef int(WINAPI* WinMainRoutine)(HINSTANCE, HINSTANCE, LPSTR, int);

// The program hands its WinMain over: the C entry point lives in the
// program, which links the platform only as a library.
int RunWinMain(int argc, char** argv, WinMainRoutine winMain);

// The command line that RunWinMain hands over for these host arguments
// (UTF-8); a character without a Shift-JIS form becomes '?'.
std::string WinMainCommandLine(int argc, char** argv);

}  // namespace platform
