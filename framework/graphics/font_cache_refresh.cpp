// After the device was rebuilt every font is made again under its old
// handle value, so that its glyph cache lives in the new device's textures.
#include "framework/graphics/font_cache_refresh.h"

#include "framework/graphics/font/font_handles.h"

int RefreshAllFontCaches() { return RestoreFontHandles(); }
