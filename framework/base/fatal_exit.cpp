// The framework's only way out of a state it cannot recover from: the reason
// goes to the log, everything is shut down and the process ends with -1.
#include "framework/base/fatal_exit.h"

#include <atomic>
#include <cstdarg>

#include "framework/base/format_text.h"
#include "framework/base/framework_lock.h"
#include "framework/base/log.h"
#include "platform/platform.h"

namespace {

std::atomic<FatalExitShutdown> Shutdown{nullptr};

}  // namespace

FatalExitShutdown SetFatalExitShutdown(FatalExitShutdown shutdown) { return Shutdown.exchange(shutdown); }

void FatalErrorExit(const char* text) {
    WriteLogLine(text);
    WriteLogLine("\n");
    if (const FatalExitShutdown shutdown = Shutdown.load()) shutdown();
    TearDownFrameworkLock();
    ExitProcess(static_cast<UINT>(-1));
}

void FatalErrorExitFormat(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    FormatStringV(text, sizeof(text), format, arguments);
    va_end(arguments);
    FatalErrorExit(text);
}
