// The list of file names dropped on the main window.
#pragma once

#include "platform/win_types.h"

// The shell's two calls on a drop handle: the query (the count for index
// 0xFFFFFFFF, a name's length without a buffer, else the name copied into the
// buffer of that size) and the release of the drop.
typedef UINT (*DroppedFileQueryRoutine)(HANDLE drop, UINT index, LPSTR buffer, UINT size);
typedef void (*DroppedFileFinishRoutine)(HANDLE drop);

// Adds the dropped names to the list while it holds fewer than 1000, each in
// a block of the tracked allocator; a failed allocation stops the taking. The
// drop is released in any case. Returns the number of names added.
int TakeDroppedFiles(HANDLE drop, DroppedFileQueryRoutine query, DroppedFileFinishRoutine finish);
// Frees every name and empties the list. Returns 0.
int FreeDroppedFileList();
