// The program's C entry point: the loader's work (module handle, command
// line, show command) is the platform's, and WinMain is the game's.
#include "platform/entry/program_entry.h"
#include "platform/kernel/kernel.h"

int main(int argc, char** argv) { return platform::RunWinMain(argc, argv, WinMain); }
