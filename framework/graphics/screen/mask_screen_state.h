// Internal to framework/graphics (and its tests): the mask screen's buffers,
// which the buffer code makes and the draw hooks use.
#pragma once

#include "framework/softrender/memimg.h"
#include "platform/d3d9/d3d9.h"

struct MaskScreenBuffers {
    int created;  // the buffers have been made, so a restore makes them again
    MEMIMG memImg;  // software path: the mask screen
    int memImgMade;
    IDirect3DTexture9* maskImageTexture;  // hardware path: the mask as alpha
    IDirect3DTexture9* screenTexture;     // hardware path: the mask screen
    IDirect3DSurface9* screenSurface;     // its level 0
    IDirect3DSurface9* savedTarget;       // the real target of the draw under way
};
extern MaskScreenBuffers MaskScreen;
