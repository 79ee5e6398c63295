// Stand-in until the font system's glyph caches are built.
// No font keeps its glyphs in device textures yet, so there is nothing to
// refill. Weak, so that the font system's own definition takes its place.
#include "framework/graphics/font_cache_refresh.h"

__attribute__((weak)) int RefreshAllFontCaches() { return 0; }
