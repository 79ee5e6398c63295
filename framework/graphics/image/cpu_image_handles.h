// The table that keeps pixel images under CpuImageHandles
// (0x70000000 | check << 16 | slot).
#pragma once

#include <cstdint>

#include "framework/base/handle_table.h"
#include "framework/graphics/image/pixel_format.h"

constexpr int kCpuImageSlotCount = 8192;
constexpr int kCpuImageHandleKind = 0x70000000;

struct CpuImageRecord {
    PixelImage image;
    int32_t check;  // the handle's 11-bit check counter
};

extern HandleTable CpuImageTable;

// Frees the image and its record; -1 for a handle that names no live record.
int RemoveCpuImage(int handle);
// Removes every live record. Both return 0.
int RemoveAllCpuImages();
int ResetCpuImages();
