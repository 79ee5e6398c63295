// Stand-in until the screen capture is built.
// Stand-ins while the graphics subsystem does not offer these yet: no
// graphic can be made from the screen, and nothing is drawn. Each is weak,
// so that the graphics subsystem's own definition takes its place.
#include "framework/graphics/screen_image_access.h"

#define STAND_IN __attribute__((weak))

STAND_IN int CaptureScreenImage(int, int, int, int, int, int) { return -1; }
