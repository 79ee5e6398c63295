// The glyph cache of a font handle.
#pragma once

// Empties the cache: every index entry and slot cleared, slot i takes cell
// i. -1 for a bad handle.
int ResetGlyphCache(int handle);
// Makes the cache graphics when the cache-lost flag is set; -1 when they
// cannot be made.
int BuildFontCacheGraphics(int handle);
// The 16-bit layout of a texture cache: A4R4G4B4 for anti-aliased fonts,
// A1R5G5B5 for the others.
const PixelFormat* GlyphCachePixelFormat(int fontType);

struct CharacterEntry;
struct PixelFormat;
struct GlyphSlot;

// Lists the characters of up to `maxBytes` bytes of the string (-1: all of
// it) into `entries` (when not null) and their count into `count`, and
// caches the new ones at once, as many as the cache has slots. -1 for a bad
// handle or a failed allocation.
int PrepareStringGlyphs(int maxBytes, const char* string, int handle, CharacterEntry* entries, int* count);
// Rasterises the characters into the next slots, evicting the oldest.
// Returns the slot of the last one; null when nothing was cached.
GlyphSlot* CacheGlyphs(int handle, int count, const CharacterEntry* entries);
