// The layered main window: the 32-bit bitmap that carries its per-pixel alpha.
#pragma once

#include "framework/graphics/image/pixel_format.h"
#include "platform/win_types.h"

struct LayeredWindowBitmapRecord {
    HBITMAP bitmap;  // a DIB section, or null
    void* pixels;
    int width;
    int height;
    PixelFormat format;
};

extern LayeredWindowBitmapRecord LayeredWindowBitmap;
