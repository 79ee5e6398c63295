// Fitting a picture into an area of another shape: as large as it goes with
// its aspect kept, centred, the rest of the area left for bars.
#include <cstdint>

#include "platform/host/host_video.h"

namespace platform {

RECT FitPicture(LONG width, LONG height, LONG areaWidth, LONG areaHeight) {
    if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0) return RECT{0, 0, 0, 0};
    LONG fitWidth = areaWidth;
    LONG fitHeight = areaHeight;
    // Products of sizes overflow 32 bits on large displays.
    if (int64_t{areaWidth} * height <= int64_t{areaHeight} * width)
        fitHeight = static_cast<LONG>((int64_t{height} * areaWidth + width / 2) / width);
    else
        fitWidth = static_cast<LONG>((int64_t{width} * areaHeight + height / 2) / height);
    const LONG left = (areaWidth - fitWidth) / 2;
    const LONG top = (areaHeight - fitHeight) / 2;
    return RECT{left, top, left + fitWidth, top + fitHeight};
}

}  // namespace platform
