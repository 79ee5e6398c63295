// The layered main window: the 32-bit bitmap that carries its per-pixel alpha,
// made from the screen image at every present.
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

// Gives the screen image, or the picture of `sourceContext` when one is given,
// to the layered window: the transparent colour becomes fully transparent and
// the window's caption band stays transparent. `alphaFlag` 1 takes the
// image's own alpha.
void UpdateLayeredWindowImage(const PixelImage* image, HDC sourceContext, int alphaFlag);
