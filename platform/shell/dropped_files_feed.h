// The dropped-file side of the shell as the host adapters and tests see it.
// Private to the platform (and to tests).
#pragma once

#include <string>
#include <vector>

#include "platform/shell/shell.h"

namespace platform {

// True when DragAcceptFiles has switched dropping on for the window.
bool AcceptsDroppedFiles(HWND window);

// A drop of these files (Windows-shaped Shift-JIS paths) on the window:
// posts one WM_DROPFILES with a new drop handle when the window accepts
// files. False, with nothing posted and no drop left behind, when the list
// is empty, the window does not accept files or the post fails.
bool PostDroppedFiles(HWND window, std::vector<std::string> windowsPaths);

// The drops posted but not yet released with DragFinish. ResetMachine()
// releases them all and forgets which windows accept files.
size_t PendingDropCount();

}  // namespace platform
