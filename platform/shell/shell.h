// Shell services: the files dropped on a window and the per-user data folder.
//
// Stands in for the shell's dropped-file calls: a window that accepts files
// gets one WM_DROPFILES per drop, whose wParam is the drop handle; the names
// are read with DragQueryFileA and the drop is released with DragFinish.
// The roaming application-data folder is the XDG data home. Left out:
// everything else of the shell (drop points, the other special folders). Built on the host's drop events
// (platform/host), which name the files by their host paths; the names handed
// out here are Windows-shaped Shift-JIS paths.
#pragma once

#include "platform/win_types.h"

typedef HANDLE HDROP;

// The query of a drop. Index 0xFFFFFFFF: the number of files. A null buffer:
// the length of that file's name in bytes, without the terminator. Otherwise
// the name is copied into the buffer of `size` bytes, cut to fit (never
// inside a two-byte character) and always terminated; the bytes copied
// without the terminator are returned. 0 for an index past the last file, a
// buffer of size 0 or a handle that is no drop (ERROR_INVALID_HANDLE).
UINT WINAPI DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size);
// Releases the drop; its handle is no drop afterwards.
void WINAPI DragFinish(HDROP drop);
// Whether drops on the window are given to it. Windows do not accept files
// until they ask to.
void WINAPI DragAcceptFiles(HWND window, BOOL accept);

// ---- special folders ------------------------------------------------------------

#define CSIDL_APPDATA 0x001A

// The roaming application-data folder ($XDG_DATA_HOME, else
// $HOME/.local/share) as a Windows-shaped path in `path`, a buffer of
// MAX_PATH bytes; with `create` the folder is made when missing. FALSE for
// any other folder, a path that does not fit or has no Shift-JIS form, or a
// folder that is missing and not made.
BOOL WINAPI SHGetSpecialFolderPathA(HWND owner, LPSTR path, int folder, BOOL create);
