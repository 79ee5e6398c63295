// The loader's part of starting a program. The arguments come from the host
// in UTF-8; a program written for Windows reads its command line as one text
// in its own code page.
#include "platform/entry/program_entry.h"

#include <vector>

#include "platform/host/library_logs.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/shift_jis.h"
#include "platform/user/host_display.h"
#include "platform/user/user.h"

namespace platform {

std::string WinMainCommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        const std::string argument = Utf8ToShiftJisLossy(argv[i]);
        if (argument.empty() || argument.find_first_of(" \t") != std::string::npos) {
            line += '"' + argument + '"';
        } else {
            line += argument;
        }
    }
    return line;
}

int RunWinMain(int argc, char** argv, WinMainRoutine winMain) {
    // Only the program's own messages reach the terminal.
    QuietHostLibraryLogs();
    // A Linux user ends a program with a signal as often as by closing its
    // window; the program hears the one as the other.
    detail::CloseMainWindowOnEndSignals();
    std::string text = WinMainCommandLine(argc, argv);
    std::vector<char> commandLine(text.begin(), text.end());
    commandLine.push_back('\0');
    HINSTANCE instance = GetModuleHandleA(nullptr);
    return winMain(instance, nullptr, commandLine.data(), SW_SHOWDEFAULT);
}

}  // namespace platform
