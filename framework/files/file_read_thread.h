// Internal to framework/files (and its tests): nothing outside the folder includes it.
// The read thread of a plain file stream and the caller's side of handing it
// a command.
#pragma once

#include "framework/files/plain_file_stream.h"
#include "platform/platform.h"

DWORD WINAPI Win32FileReadThread(LPVOID stream);

// Waits until the thread has finished its previous command; only then may the
// caller write the command fields.
void WaitForFileThreadIdle(Win32FileStream* stream);
// Hands the thread `command` (whose fields the caller has written after
// WaitForFileThreadIdle) and returns without waiting for it.
void PostFileThreadCommand(Win32FileStream* stream, FileThreadCommand command);
// Carries out the read command whose fields the caller has written, in the
// calling thread: the read thread must be idle and the stream without a
// cache (an idle thread with a cache reads ahead on its own).
void CarryOutFileRead(Win32FileStream* stream);
