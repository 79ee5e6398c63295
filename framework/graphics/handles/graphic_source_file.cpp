// Keeping, sharing and dropping a graphic's source file name.
#include "framework/graphics/handles/graphic_source_file.h"

#include <cstddef>
#include <cstring>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/files/full_path.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "platform/win_types.h"

namespace {

void DropName(GraphicSourceFileName* name) {
    if (name != nullptr && --name->referenceCount <= 0) FreeMemory(name);
}

}  // namespace

int SetGraphicSourceFileName(int handle, const char* fileName, int shareHandle) {
    GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr) return -1;

    GraphicSourceFileName* name = nullptr;
    if (fileName != nullptr) {
        char fullPath[MAX_PATH];
        if (ToFullPath(fileName, fullPath, nullptr) != 0) return -1;
        const size_t length = std::strlen(fullPath);
        name = static_cast<GraphicSourceFileName*>(
            AllocMemory(offsetof(GraphicSourceFileName, path) + length + 1, __FILE__, __LINE__));
        if (name == nullptr) {
            WriteLogLine("転送する画像ファイルのファイル名を保存するメモリ領域の確保に失敗しました\n");
            return -1;
        }
        name->referenceCount = 1;
        std::memcpy(name->path, fullPath, length + 1);
    } else if (shareHandle != -1) {
        const GraphicRecord* source = GetGraphicRecord(shareHandle);
        if (source == nullptr) return -1;
        name = source->sourceFileName;
        // Taken before the old name is dropped: the source may be this graphic.
        if (name != nullptr) ++name->referenceCount;
    }
    DropName(record->sourceFileName);
    record->sourceFileName = name;
    return 0;
}
