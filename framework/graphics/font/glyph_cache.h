// The glyph cache of a font handle.
#pragma once

// Empties the cache: every index entry and slot cleared, slot i takes cell
// i. -1 for a bad handle.
int ResetGlyphCache(int handle);
// Makes the cache graphics when the cache-lost flag is set; -1 when they
// cannot be made.
int BuildFontCacheGraphics(int handle);
