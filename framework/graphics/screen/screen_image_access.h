// What the layered window and the inactive picture use of the graphics
// subsystem beyond the screen mode, the flip and the draw target: graphics
// made from pixel images and from the screen, drawing them, the texture filter,
// and the transparent colour of the draw settings.
#pragma once

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/handles/graphic_handles.h"

// Copies the screen's rectangle into the graphic.
int CaptureScreenImage(int x1, int y1, int x2, int y2, int handle, int option);
