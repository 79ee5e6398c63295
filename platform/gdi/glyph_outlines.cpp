// Glyph bitmaps and metrics of a character in the selected font: FreeType's
// mono or grey rendering, or the fixed test source, packed as GDI packs them.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <iconv.h>

#include <cstring>
#include <vector>

#include "platform/gdi/font_objects.h"

namespace platform::detail {
namespace {

struct Glyph {
    GLYPHMETRICS metrics{};
    int width = 0;
    int height = 0;
    std::vector<uint8_t> levels;  // 0 to 16 per pixel, rows top down
};

// The code point of a character code in the font's code page (Korean for
// the Hangeul charset, Shift-JIS for the rest); 0 when it has none.
uint32_t CodePoint(UINT character, DWORD charset) {
    char bytes[2];
    size_t length = 0;
    if (character > 0xFF) bytes[length++] = static_cast<char>(character >> 8);
    bytes[length++] = static_cast<char>(character & 0xFF);
    iconv_t converter = iconv_open("UTF-32LE", charset == HANGEUL_CHARSET ? "CP949" : "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return 0;
    uint8_t out[8] = {};
    char* in = bytes;
    char* outPointer = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    const size_t done = iconv(converter, &in, &length, &outPointer, &outLeft);
    iconv_close(converter);
    if (done == static_cast<size_t>(-1) || outLeft != 4) return 0;
    return static_cast<uint32_t>(out[0]) | static_cast<uint32_t>(out[1]) << 8 | static_cast<uint32_t>(out[2]) << 16 |
           static_cast<uint32_t>(out[3]) << 24;
}

bool IsSpace(UINT character) { return character == 0x20 || character == 0x8140; }

void TestGlyph(const FontObject& font, UINT character, Glyph& glyph) {
    const int cell = font.cellHeight;
    const bool wide = character > 0xFF;
    glyph.metrics.gmCellIncX = static_cast<short>(wide ? cell : cell / 2);
    if (IsSpace(character)) return;
    glyph.width = wide ? cell - 2 : cell / 2 - 1;
    glyph.height = wide ? cell - 2 : font.ascent - 1;
    if (glyph.width <= 0 || glyph.height <= 0) {
        glyph.width = glyph.height = 0;
        return;
    }
    glyph.metrics.gmptGlyphOrigin = POINT{1, font.ascent - 1};
    glyph.levels.resize(static_cast<size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            glyph.levels[static_cast<size_t>(y) * glyph.width + x] =
                static_cast<uint8_t>((static_cast<UINT>(x + 2 * y) + character) % 17);
}

bool FreeTypeGlyph(const FontObject& font, UINT character, bool mono, Glyph& glyph) {
    const uint32_t codePoint = CodePoint(character, font.charset);
    FT_Face face = font.face;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, index, mono ? FT_LOAD_TARGET_MONO : FT_LOAD_DEFAULT) != 0) return false;
    if (font.weight >= 600) FT_GlyphSlot_Embolden(face->glyph);
    if (font.italic) FT_GlyphSlot_Oblique(face->glyph);
    if (FT_Render_Glyph(face->glyph, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.metrics.gmCellIncX = static_cast<short>((slot->advance.x + 32) >> 6);
    if (bitmap.width == 0 || bitmap.rows == 0) return true;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.metrics.gmptGlyphOrigin = POINT{slot->bitmap_left, slot->bitmap_top};
    glyph.levels.resize(static_cast<size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            uint8_t level = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                level = (row[x / 8] >> (7 - x % 8)) & 1 ? 16 : 0;
            else
                level = static_cast<uint8_t>((row[x] * 16 + 127) / 255);
            glyph.levels[static_cast<size_t>(y) * glyph.width + x] = level;
        }
    }
    return true;
}

bool IsIdentity(const MAT2& matrix) {
    return matrix.eM11.value == 1 && matrix.eM11.fract == 0 && matrix.eM12.value == 0 && matrix.eM12.fract == 0 &&
           matrix.eM21.value == 0 && matrix.eM21.fract == 0 && matrix.eM22.value == 1 && matrix.eM22.fract == 0;
}

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

DWORD WINAPI GetGlyphOutlineA(HDC deviceContext, UINT character, UINT format, LPGLYPHMETRICS metrics,
                              DWORD bufferSize, void* buffer, const MAT2* matrix) {
    if (metrics == nullptr || matrix == nullptr || !IsIdentity(*matrix) ||
        (format != GGO_METRICS && format != GGO_BITMAP && format != GGO_GRAY4_BITMAP))
        return GDI_ERROR;
    HGDIOBJ selected = SelectedFont(deviceContext);
    if (selected == nullptr) return GDI_ERROR;
    Glyph glyph;
    {
        std::lock_guard<std::mutex> guard(FontLock());
        const FontObject* font = FindFontLocked(selected);
        if (font == nullptr) return GDI_ERROR;
        if (font->testSource)
            TestGlyph(*font, character, glyph);
        else if (!FreeTypeGlyph(*font, character, format == GGO_BITMAP, glyph))
            return GDI_ERROR;
    }
    glyph.metrics.gmBlackBoxX = static_cast<UINT>(glyph.width);
    glyph.metrics.gmBlackBoxY = static_cast<UINT>(glyph.height);
    *metrics = glyph.metrics;
    if (format == GGO_METRICS) return 0;
    const DWORD bytesPerRow = format == GGO_BITMAP ? static_cast<DWORD>(glyph.width + 7) / 8 : glyph.width;
    const DWORD pitch = (bytesPerRow + 3) & ~3u;
    const DWORD size = pitch * static_cast<DWORD>(glyph.height);
    if (buffer == nullptr || bufferSize == 0) return size;
    if (bufferSize < size) return GDI_ERROR;
    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, size);
    for (int y = 0; y < glyph.height; ++y) {
        uint8_t* row = out + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < glyph.width; ++x) {
            const uint8_t level = glyph.levels[static_cast<size_t>(y) * glyph.width + x];
            if (format == GGO_GRAY4_BITMAP)
                row[x] = level;
            else if (level >= 8)
                row[x / 8] = static_cast<uint8_t>(row[x / 8] | (0x80 >> (x % 8)));
        }
    }
    return size;
}
