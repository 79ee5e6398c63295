// Stand-in until graphic handles is built.
// No graphic handle exists until the graphics system is started.
#include "framework/graphics/graphic_handles.h"

int DeleteGraphicHandle(int handle, int flag) { return -1; }
