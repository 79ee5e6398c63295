// The plain set's current-directory routines.
#include "framework/files/plain_directory.h"

int Win32SetCurrentDir(const char* path) { return SetCurrentDirectoryA(path); }

int Win32GetCurrentDir(char* buffer) { return static_cast<int>(GetCurrentDirectoryA(MAX_PATH, buffer)); }
