// Removing pixel images kept under handles.
#include "framework/graphics/image/cpu_image_handles.h"

#include <cstddef>

#include "framework/graphics/image/pixel_image.h"

namespace {
void* CpuImageSlots[kCpuImageSlotCount];
}  // namespace

HandleTable CpuImageTable = {
    kCpuImageHandleKind, kCpuImageSlotCount, offsetof(CpuImageRecord, check), CpuImageSlots, 0, 0, 0,
};

int RemoveCpuImage(int handle) {
    auto* record = static_cast<CpuImageRecord*>(GetHandleRecord(&CpuImageTable, handle));
    if (record == nullptr) return -1;
    FreePixelImage(&record->image);
    return ReleaseHandleRecord(&CpuImageTable, handle);
}

int RemoveAllCpuImages() {
    return DeleteAllHandles(&CpuImageTable, [](int handle, int) { return RemoveCpuImage(handle); }, 0);
}

int ResetCpuImages() { return RemoveAllCpuImages(); }
