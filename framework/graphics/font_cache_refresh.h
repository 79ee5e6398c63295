// Refilling the fonts' glyph caches after the device lost their textures.
#pragma once

// Returns 0.
int RefreshAllFontCaches();
