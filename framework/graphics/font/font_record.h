// What a font handle owns: the GDI font, the measures taken from it and its
// glyph cache, in texture graphics (hardware path) or in plain memory.
#pragma once

#include <cstdint>

#include "framework/graphics/image/pixel_format.h"
#include "platform/gdi/gdi.h"

constexpr int kMaxFontHandles = 40;
constexpr int kMaxGlyphSlots = 2024;

// A character's bytes followed by zero; its 16-bit key is the first two
// bytes read little-endian.
struct CharacterEntry {
    unsigned char bytes[3];
};

struct GlyphSlot;

struct GlyphIndexEntry {
    uint32_t cached;  // 1 while the character has a slot
    GlyphSlot* slot;
};

struct GlyphSlot {
    uint16_t inUse;
    int16_t xOffset;  // pen position to the bitmap's left edge
    int16_t yOffset;  // line top to the bitmap's top edge
    int16_t advance;
    int32_t cellNumber;  // fixed: the slot's own index
    int16_t width;       // 0 for a space
    int16_t height;
    GlyphIndexEntry* backLink;  // the character held
};

// FontType: bit 0 edged, bit 1 anti-aliased.
constexpr int kFontTypeEdgedBit = 1;
constexpr int kFontTypeAntialiasedBit = 2;

struct FontRecord {
    uint32_t checkWord;
    int* deleteFlag;
    GlyphSlot slots[kMaxGlyphSlots + 1];
    GlyphIndexEntry index[65536];
    int nextSlot;
    int slotCount;
    uint8_t* cacheMemory;  // memory cache only
    int cachePitch;
    int cacheBitsPerPixel;
    char face[256];  // Shift-JIS; empty for the default face
    int thickness;
    int size;
    int lineHeight;
    int italic;
    int spacing;
    int cellSize;
    HFONT gdiFont;
    int fontType;
    int charsetCode;
    int edgeSize;
    int cacheWidth;
    int cacheHeight;
    int cellsPerColumn;
    int cacheGraphic;
    int edgeGraphic;
    int cacheLost;
    PixelImage cacheBaseImage;
    int textureCache;
};

// Null for a bad handle.
FontRecord* GetFontRecord(int handle);
// 1 for a valid handle, else 0.
int IsValidFontHandle(int handle);
