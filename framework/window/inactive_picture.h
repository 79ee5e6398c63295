// The picture shown over the screen while the main window is inactive.
#pragma once

#include "framework/graphics/image/pixel_format.h"

struct InactivePictureRecord {
    PixelImage image;
    int set;
    int graphicHandle;  // made from the image on first use
};

extern InactivePictureRecord InactivePicture;

// 0 when drawn (or when the framework is ending), -1 when no picture is set
// or its graphic cannot be made.
int DrawInactivePicture();
