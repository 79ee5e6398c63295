// Fonts: CreateFontA finds the face through fontconfig and opens it with
// FreeType at the requested size; GetTextMetricsA reports its measures.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <map>
#include <string>

#include "platform/gdi/font_objects.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/shift_jis.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_records.h"

namespace platform::detail {
namespace {

struct FontTable {
    std::mutex lock;
    FT_Library library = nullptr;
    std::map<HGDIOBJ, FontObject> fonts;
    HGDIOBJ stockFont = NewUserHandle();
};

FontTable& Fonts() {
    static FontTable* table = new FontTable;  // outlives threads still running at exit
    return *table;
}

void CloseFontsLocked(FontTable& table) {
    for (auto& [handle, font] : table.fonts)
        if (font.face != nullptr) FT_Done_Face(font.face);
    table.fonts.clear();
}

const ResetHook resetFonts([] {
    FontTable& table = Fonts();
    std::lock_guard<std::mutex> guard(table.lock);
    CloseFontsLocked(table);
});

// The system's gothic and mincho faces are named in full-width letters;
// they and every face not installed resolve to a Japanese face here.
std::string FontconfigPattern(const std::string& faceUtf8) {
    if (faceUtf8 == "ＭＳ 明朝" || faceUtf8 == "ＭＳ Ｐ明朝") return ":lang=ja:family=IPAMincho,serif";
    if (faceUtf8 == "ＭＳ ゴシック" || faceUtf8 == "ＭＳ Ｐゴシック" || faceUtf8.empty())
        return ":lang=ja:family=IPAGothic,sans-serif";
    return "";
}

// The file and face index of the best match; empty when fontconfig finds
// nothing.
bool MatchFace(const std::string& faceUtf8, std::string& file, int& index) {
    // One configuration for the process, loaded on first use and kept.
    static FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) return false;
    std::string pattern = FontconfigPattern(faceUtf8);
    FcPattern* wanted = nullptr;
    if (!pattern.empty()) {
        wanted = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    } else {
        wanted = FcPatternCreate();
        FcPatternAddString(wanted, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceUtf8.c_str()));
    }
    if (wanted == nullptr) return false;
    FcConfigSubstitute(config, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, wanted, &result);
    bool found = false;
    if (match != nullptr && pattern.empty()) {
        // A face by a name that is not installed: the default Japanese face.
        FcChar8* family = nullptr;
        bool same = false;
        for (int n = 0; FcPatternGetString(match, FC_FAMILY, n, &family) == FcResultMatch; ++n)
            if (FcStrCmpIgnoreCase(family, reinterpret_cast<const FcChar8*>(faceUtf8.c_str())) == 0) same = true;
        if (!same) {
            FcPatternDestroy(match);
            FcPatternDestroy(wanted);
            return MatchFace("", file, index);
        }
    }
    if (match != nullptr) {
        FcChar8* path = nullptr;
        int faceIndex = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
            file = reinterpret_cast<const char*>(path);
            if (FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex) != FcResultMatch) faceIndex = 0;
            index = faceIndex;
            found = true;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(wanted);
    return found;
}

int Ceil26(FT_Pos value) { return static_cast<int>((value + 63) >> 6); }

bool OpenFaceLocked(FontTable& table, const std::string& faceUtf8, int height, FontObject& font) {
    std::string file;
    int index = 0;
    if (!MatchFace(faceUtf8, file, index)) return false;
    if (table.library == nullptr && FT_Init_FreeType(&table.library) != 0) return false;
    FT_Face face = nullptr;
    if (FT_New_Face(table.library, file.c_str(), index, &face) != 0) return false;
    // A positive height is the whole cell (ascender to descender), a
    // negative one the em square.
    FT_Size_RequestRec request{};
    request.type = height > 0 ? FT_SIZE_REQUEST_TYPE_CELL : FT_SIZE_REQUEST_TYPE_NOMINAL;
    request.height = static_cast<FT_Long>(height > 0 ? height : -height) << 6;
    if (!FT_IS_SCALABLE(face) || FT_Request_Size(face, &request) != 0) {
        FT_Done_Face(face);
        return false;
    }
    const FT_Size_Metrics& metrics = face->size->metrics;
    font.face = face;
    font.ascent = Ceil26(metrics.ascender);
    font.descent = Ceil26(-metrics.descender);
    if (height > 0 && font.ascent + font.descent > height) font.ascent = height - font.descent;
    font.cellHeight = font.ascent + font.descent;
    font.maxWidth = Ceil26(metrics.max_advance);
    font.averageWidth = Ceil26(metrics.x_ppem) / 2;
    return true;
}

void TestSourceMetrics(int height, FontObject& font) {
    const int cell = height > 0 ? height : -height;
    font.testSource = true;
    font.cellHeight = cell;
    font.descent = cell / 4;
    font.ascent = cell - font.descent;
    font.averageWidth = cell / 2;
    font.maxWidth = cell;
}

}  // namespace

std::mutex& FontLock() { return Fonts().lock; }

FontObject* FindFontLocked(HGDIOBJ font) {
    FontTable& table = Fonts();
    const auto found = table.fonts.find(font);
    return found == table.fonts.end() ? nullptr : &found->second;
}

bool IsFont(HGDIOBJ object) {
    FontTable& table = Fonts();
    std::lock_guard<std::mutex> guard(table.lock);
    return object == table.stockFont || table.fonts.count(object) != 0;
}

HGDIOBJ StockFont() { return Fonts().stockFont; }

bool DeleteFont(HGDIOBJ font) {
    FontTable& table = Fonts();
    std::lock_guard<std::mutex> guard(table.lock);
    if (font == table.stockFont) return true;
    const auto found = table.fonts.find(font);
    if (found == table.fonts.end()) return false;
    if (found->second.face != nullptr) FT_Done_Face(found->second.face);
    table.fonts.erase(found);
    return true;
}

}  // namespace platform::detail

using namespace platform::detail;

HFONT WINAPI CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD charset, DWORD,
                         DWORD, DWORD, DWORD, const char* face) {
    platform::FontProfile& profile = platform::Profile().fonts;
    if (profile.createFontFailures > 0) {
        --profile.createFontFailures;
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A height of 0 asks for the default size.
    if (height == 0) height = 16;
    if (height < -4096 || height > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string faceUtf8;
    if (face != nullptr) {
        // The face name field holds 32 bytes with its terminator; a longer
        // name is cut at a character boundary.
        const size_t length = strnlen(face, 31);
        size_t kept = 0;
        while (kept < length) {
            const size_t step = platform::IsShiftJisLeadByte(static_cast<unsigned char>(face[kept])) ? 2 : 1;
            if (kept + step > length) break;
            kept += step;
        }
        faceUtf8 = platform::ShiftJisToUtf8Lossy(std::string(face, kept));
    }
    FontObject font;
    font.weight = weight <= 0 ? FW_NORMAL : weight;
    font.italic = italic != 0;
    font.charset = charset;
    FontTable& table = Fonts();
    std::lock_guard<std::mutex> guard(table.lock);
    if (profile.testGlyphSource) {
        TestSourceMetrics(height, font);
    } else if (!OpenFaceLocked(table, faceUtf8, height, font)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    HFONT handle = static_cast<HFONT>(NewUserHandle());
    table.fonts[handle] = font;
    return handle;
}

BOOL WINAPI GetTextMetricsA(HDC deviceContext, LPTEXTMETRICA metrics) {
    HGDIOBJ selected = SelectedFont(deviceContext);
    if (metrics == nullptr || selected == nullptr) return FALSE;
    std::lock_guard<std::mutex> guard(FontLock());
    const FontObject* font = FindFontLocked(selected);
    if (font == nullptr) return FALSE;
    *metrics = TEXTMETRICA{};
    metrics->tmHeight = font->cellHeight;
    metrics->tmAscent = font->ascent;
    metrics->tmDescent = font->descent;
    metrics->tmAveCharWidth = font->averageWidth;
    metrics->tmMaxCharWidth = font->maxWidth;
    metrics->tmWeight = font->weight;
    metrics->tmDigitizedAspectX = 96;
    metrics->tmDigitizedAspectY = 96;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFF;
    metrics->tmDefaultChar = 0x1F;
    metrics->tmBreakChar = 0x20;
    metrics->tmItalic = font->italic ? 1 : 0;
    metrics->tmCharSet = static_cast<BYTE>(font->charset);
    return TRUE;
}
