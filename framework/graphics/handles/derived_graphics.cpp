// Graphics that show a part of another graphic's image block.
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/draws/graphic_draw_info.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/handles/graphic_source_file.h"

int SetupDerivedGraphic(int handle, int sourceHandle, int x, int y, int width, int height) {
    GraphicRecord* record = GetGraphicRecord(handle);
    const GraphicRecord* source = GetGraphicRecord(sourceHandle);
    if (record == nullptr || source == nullptr || source->image == nullptr) return -1;
    record->image = source->image;
    ++record->image->referenceCount;
    SetGraphicSourceFileName(handle, nullptr, sourceHandle);
    // The restore puts the source's file back at the transfer position,
    // counted from this graphic's corner: the source's less the offset.
    record->transferX = source->transferX - x;
    record->transferY = source->transferY - y;
    record->transferFlags = source->transferFlags;
    record->x = source->x + x;
    record->y = source->y + y;
    record->width = width;
    record->height = height;
    return BuildGraphicDrawInfo(handle);
}

int DerivePartGraphic(int x, int y, int width, int height, int sourceHandle) {
    const GraphicRecord* source = GetGraphicRecord(sourceHandle);
    if (source == nullptr || x < 0 || y < 0 || x >= source->width || y >= source->height) return -1;
    if (width > source->width - x) width = source->width - x;
    if (height > source->height - y) height = source->height - y;
    if (width < 1 || height < 1) return -1;
    const int handle = AllocGraphicHandle();
    if (SetupDerivedGraphic(handle, sourceHandle, x, y, width, height) != 0) {
        DeleteGraphicHandle(handle, 0);
        return -1;
    }
    return handle;
}
