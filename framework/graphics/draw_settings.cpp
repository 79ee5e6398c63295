#include "framework/graphics/draw_settings.h"

DrawSettings CurrentDrawSettings;
