// Removing pixel images kept under handles.
#include "framework/graphics/image/cpu_image_handles.h"

#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/pixel_image.h"

CpuImageRecord* CpuImageSlots[kCpuImageSlotCount] = {};
int CpuImageCount = 0;
int CpuImageTop = 0;

namespace {

constexpr int kHandleKindMask = 0x78000000;
constexpr int kHandleCheckShift = 16;
constexpr int kHandleCheckMask = 0x7FF;
constexpr int kHandleSlotMask = 0xFFFF;

}  // namespace

int RemoveCpuImage(int handle) {
    if (handle < 0 || (handle & kHandleKindMask) != kCpuImageHandleKind) return -1;
    const int slot = handle & kHandleSlotMask;
    if (slot >= kCpuImageSlotCount) return -1;
    CpuImageRecord* record = CpuImageSlots[slot];
    if (record == nullptr) return -1;
    if (static_cast<int>(record->check) != ((handle >> kHandleCheckShift) & kHandleCheckMask)) return -1;

    FreePixelImage(&record->image);
    --CpuImageCount;
    if (slot == CpuImageTop - 1) {
        int top = slot;
        while (top > 0 && CpuImageSlots[top - 1] == nullptr) --top;
        CpuImageTop = top;
    }
    FreeMemory(record);
    CpuImageSlots[slot] = nullptr;
    return 0;
}

int RemoveAllCpuImages() {
    for (int slot = 0; slot < CpuImageTop; ++slot) {
        const CpuImageRecord* record = CpuImageSlots[slot];
        if (record == nullptr) continue;
        RemoveCpuImage(kCpuImageHandleKind | static_cast<int>(record->check & 0x7FF) << kHandleCheckShift |
                       slot);
    }
    return 0;
}

int ResetCpuImages() { return RemoveAllCpuImages(); }
