// The graphic-handle table: making a graphic's record, finding it by its
// handle, and deleting one graphic or all of them.
#include "framework/graphics/handles/graphic_handles.h"

#include <cstddef>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/draws/graphic_draw_info.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/handles/graphic_source_file.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/handles/movie_entries.h"
#include "framework/base/fatal_exit.h"

namespace {
void* GraphicSlots[kGraphicSlotCount];
}  // namespace

HandleTable GraphicHandleTable = {
    kGraphicHandleKind, kGraphicSlotCount, offsetof(GraphicRecord, check), GraphicSlots, 0, 0, 0,
};

int AllocGraphicHandle() {
    const int handle = AllocHandleRecord(&GraphicHandleTable, sizeof(GraphicRecord), __FILE__, __LINE__);
    if (handle == kHandleTableFull) FatalErrorExit("グラフィックの数が許容量を越えました終了します");
    if (handle < 0) FatalErrorExit("メモリの確保に失敗しました");
    GraphicRecord* record = GetGraphicRecord(handle);
    record->handle = handle;
    record->movieHandle = -1;
    return handle;
}

GraphicRecord* GetGraphicRecord(int handle) {
    return static_cast<GraphicRecord*>(GetHandleRecord(&GraphicHandleTable, handle));
}

int IsValidGraphicHandle(int handle) { return GetGraphicRecord(handle) != nullptr ? 1 : 0; }

int DeleteGraphicHandle(int handle, int flag) {
    GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr) return -1;

    // The next draw must not reach the graphic's memory through the draw
    // target or the blend image once the record is gone.
    ReleaseGraphicDrawTarget(handle);
    ReleaseBlendGraphic(handle);

    CloseMovie(record->movieHandle);
    ReleaseGraphicDrawInfo(record);
    GraphicImage* image = record->image;
    if (image == nullptr || !image->hardware) FreeMemImg(&record->memImg);
    if (image != nullptr) {
        ReleaseGraphicImage(image);
        record->image = nullptr;
    }
    SetGraphicSourceFileName(handle, nullptr, -1);
    if (record->notifyFlag != nullptr) *record->notifyFlag = 1;
    return ReleaseHandleRecord(&GraphicHandleTable, handle);
}

int DeleteAllGraphicHandles(int flag) {
    if (!GraphicsSystemUp) return 0;
    return DeleteAllHandles(&GraphicHandleTable, DeleteGraphicHandle, flag);
}

int SetGraphicNotifyFlag(int handle, int* flag) {
    GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr) return -1;
    record->notifyFlag = flag;
    if (flag != nullptr) *flag = 0;
    return 0;
}
