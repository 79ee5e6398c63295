// The fonts CreateFontA makes, as the device contexts and the glyph outlines
// share them. Private to the platform.
#pragma once

#include <mutex>
#include <string>

#include "platform/gdi/gdi.h"

typedef struct FT_FaceRec_* FT_Face;

namespace platform::detail {

struct FontObject {
    int cellHeight = 0;  // ascent + descent in pixels
    int ascent = 0;
    int descent = 0;
    int averageWidth = 0;
    int maxWidth = 0;
    int weight = 0;
    bool italic = false;
    DWORD charset = 0;
    bool testSource = false;
    FT_Face face = nullptr;  // null for the test source
};

// Guards every font and FreeType's library.
std::mutex& FontLock();
// Under FontLock(): the font, or null when the handle is no font of ours.
FontObject* FindFontLocked(HGDIOBJ font);
bool IsFont(HGDIOBJ object);
// The font a new memory device context holds.
HGDIOBJ StockFont();
// Frees a font; false when the handle is no font (the stock font stays).
bool DeleteFont(HGDIOBJ font);
// The font selected into a memory device context; null when there is none
// of ours.
HGDIOBJ SelectedFont(HDC deviceContext);

}  // namespace platform::detail
