// The graphics calls a program makes: the draw settings, the draws, the draw
// target, the screen's flip and mode, making, loading and deleting graphics,
// and fonts with their strings. The headers of the subfolders beyond these
// are the framework's own.
#pragma once

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/string_drawing.h"
#include "framework/graphics/handles/graphic_calls.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode_change.h"
