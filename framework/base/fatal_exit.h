// The framework's only way out of a state it cannot recover from: the reason
// goes to the log, the framework is shut down and the process ends with -1.
//
// Every part of the framework may end the process this way, but shutting
// the framework down is the start-up's work, which sits above every part:
// the start-up hands its shutdown over as it starts the framework, and the
// fatal exit runs whatever it was given.
#pragma once

// Logs the text, runs the framework's shutdown, tears the lock down and ends
// the process with exit code -1. Takes no lock: callable from inside a
// locked step.
[[noreturn]] void FatalErrorExit(const char* text);
// The message is formatted into 1024 bytes (longer ones are cut) first.
[[noreturn]] void FatalErrorExitFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The shutdown that the fatal exit runs (null: none, as before any start).
// Returns the one it replaces.
using FatalExitShutdown = int (*)();
FatalExitShutdown SetFatalExitShutdown(FatalExitShutdown shutdown);
