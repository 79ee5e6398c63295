// Drawing Shift-JIS strings with a font handle, horizontally or vertically
// (every glyph a quarter turn clockwise), in a text colour and, for edged
// fonts, an edge colour; and measuring them.
#pragma once

#include "platform/win_types.h"

struct MEMIMG;

// Colours are screen colour codes (MakeScreenColorCode); both are scaled by
// the bright colour. 0 when drawn or nothing to draw (null or empty text, an
// empty draw area, text starting right of the area where its rectangle is
// needed); -1 for a bad handle (logged) or a glyph that cannot be cached.
int DrawStringWithFont(int x, int y, const char* text, int colour, int handle, int edgeColour, int vertical);
// DrawStringWithFont with the default font, horizontally, after the default
// font was made again if its settings changed.
int DrawStringDefaultFont(int x, int y, const char* text, int colour, int edgeColour);

// The hardware path: each glyph a part of the font's cache graphic. Does
// nothing for a font without a texture cache. Returns 0.
int DrawStringTextureCache(int handle, int x, int y, const char* text, int colour, int edgeColour, int vertical);
// The software path: glyph pixels written into the draw target, or into a
// work image that is then blitted with the blend mode. Returns 0.
int DrawStringSoftware(int handle, int x, int y, const char* text, int colour, int edgeColour, int vertical);

// The core of both paths. `draw` 1 draws, 0 only measures. With a target
// image the glyphs are written into it (software path), else drawn from the
// cache graphic; both clipped to `clip`. `extent` (when not null) gets the
// width and height of the text: (length, line height) horizontally, (line
// height, length) vertically. Returns the length in pixels (every advance
// plus the font's spacing), 0 for a null or empty text, -1 for a bad handle
// or a glyph that cannot be cached.
int DrawFontString(int draw, int x, int y, const char* text, int colour, MEMIMG* target, const RECT* clip,
                   int handle, int edgeColour, int vertical, int* extent);
