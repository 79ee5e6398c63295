// Stand-in until the glyph cache's texture graphics are built.
// No font keeps its glyphs in a graphic yet: making the cache graphics
// fails, so every font falls back to its memory cache.
#include "framework/graphics/font/glyph_cache.h"

int BuildFontCacheGraphics(int handle) { return -1; }
