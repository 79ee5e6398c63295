// The bitmap is made by the first present of a layered window, which nothing
// in this build asks for.
#include "framework/core/layered_window.h"

LayeredWindowBitmapRecord LayeredWindowBitmap = {};
