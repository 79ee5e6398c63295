#include "framework/window/dropped_files.h"

#include "framework/window/main_window_state.h"
#include "framework/base/tracked_memory.h"

int TakeDroppedFiles(HANDLE drop, DroppedFileQueryRoutine query, DroppedFileFinishRoutine finish) {
    const UINT count = query(drop, 0xFFFFFFFFu, nullptr, 0);
    int added = 0;
    for (UINT index = 0; index < count && MainWindow.droppedFileCount < DroppedFileListSize; ++index) {
        const UINT length = query(drop, index, nullptr, 0);
        char* name = static_cast<char*>(AllocMemory(static_cast<size_t>(length) + 1, "", 0));
        if (name == nullptr) break;
        MainWindow.droppedFiles[MainWindow.droppedFileCount++] = name;
        name[0] = '\0';
        query(drop, index, name, length + 1);
        ++added;
    }
    finish(drop);
    return added;
}

int FreeDroppedFileList() {
    for (int i = 0; i < MainWindow.droppedFileCount; ++i) {
        FreeMemory(MainWindow.droppedFiles[i]);
        MainWindow.droppedFiles[i] = nullptr;
    }
    MainWindow.droppedFileCount = 0;
    return 0;
}
