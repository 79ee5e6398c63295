// Font handles: the 40-slot table, making a font from a GDI font and its
// measures, deleting it, the default font, and re-making every font under
// its old handle value.
#include "framework/graphics/font/font_handles.h"

#include <cstring>

#include "framework/base/base_functions.h"
#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/glyph_cache.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/window/main_window_state.h"
#include "platform/user/user.h"

namespace {

constexpr int kHandleKind = 0x20000000;
constexpr int kKindMask = 0x78000000;
constexpr int kCheckMask = 0x07FF0000;
constexpr int kDefaultSize = 16;
constexpr int kDefaultThickness = 6;
const char kDefaultFace[] = "ＭＳ ゴシック";

struct DefaultFontSettings {
    int handle;
    char face[128];
    int size;
    int thickness;
    int type;
    int charsetCode;
    int edgeSize;
    int italic;
    int spacing;
};

FontRecord* FontTable[kMaxFontHandles];
uint32_t CheckCounter = 0;
DefaultFontSettings DefaultFont = {-1, {}, kDefaultSize, kDefaultThickness, 0, 1, 1, 0, 0};

int MakeHandle(uint32_t check, int index) { return kHandleKind | static_cast<int>((check & 0x7FF) << 16) | index; }

DWORD GdiCharset(int code) {
    switch (code) {
        case 0: return DEFAULT_CHARSET;
        case 2: return HANGEUL_CHARSET;
        default: return SHIFTJIS_CHARSET;
    }
}

// Copies a face name into the record, cut at a character boundary so that
// it and its terminator fit.
void CopyFace(char* out, const char* face) {
    const size_t length = std::strlen(face);
    size_t kept = 0;
    while (kept < length) {
        const size_t step = IsShiftJisLeadByte(static_cast<unsigned char>(face[kept])) ? 2 : 1;
        if (kept + step > 255 || kept + step > length) break;
        kept += step;
    }
    std::memcpy(out, face, kept);
    out[kept] = '\0';
}

// The GDI weight of a thickness: a hundred times it, held in the GDI's range
// of 0 to 1000 (a thickness may come from a file, and may be anything).
int GdiWeight(int thickness) {
    const int64_t weight = int64_t{thickness} * 100;
    return static_cast<int>(weight < 0 ? 0 : (weight > 1000 ? 1000 : weight));
}

HFONT CreateGdiFont(const FontRecord& record, const char* face, DWORD charset, int italic) {
    return CreateFontA(record.size, 0, 0, 0, GdiWeight(record.thickness), static_cast<DWORD>(italic), 0, 0, charset, 0,
                       0, NONANTIALIASED_QUALITY, 1, face);
}

// Fails only where the record's measures cannot be taken.
int MeasureFont(FontRecord& record, HFONT font) {
    HDC memory = CreateCompatibleDC(nullptr);
    if (memory == nullptr) {
        WriteLogLine("ＤＣの取得に失敗しました\n");
        return -1;
    }
    HGDIOBJ previous = SelectObject(memory, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(memory, &metrics);
    const int edges = record.fontType & kFontTypeEdgedBit ? 2 * record.edgeSize : 0;
    record.cellSize = (metrics.tmMaxCharWidth + 2 + edges + 7) / 8 * 8;
    record.lineHeight = metrics.tmHeight + edges;
    record.lineHeight += record.lineHeight & 1;
    if (record.cellSize < record.lineHeight) record.cellSize = record.lineHeight;
    SelectObject(memory, previous);
    DeleteDC(memory);
    return 0;
}

void SetTextureCacheSize(FontRecord& record) {
    record.cacheWidth = record.cacheHeight = 512;
    for (;;) {
        record.cellsPerColumn = (record.cacheHeight - 1) / record.cellSize;
        record.slotCount = ((record.cacheWidth - 1) / record.cellSize) * record.cellsPerColumn;
        if (record.slotCount >= 10) break;
        if (record.cacheWidth > record.cacheHeight)
            record.cacheHeight *= 2;
        else
            record.cacheWidth *= 2;
    }
    if (record.slotCount > kMaxGlyphSlots) record.slotCount = kMaxGlyphSlots;
}

int MakeMemoryCache(FontRecord& record) {
    record.cacheBitsPerPixel = record.fontType == 0 ? 1 : 8;
    int slots = 327680 / (record.cellSize * record.cellSize);
    if (slots < 20) slots = 20;
    if (slots > kMaxGlyphSlots) slots = kMaxGlyphSlots;
    record.slotCount = slots;
    record.cacheWidth = record.cellSize;
    record.cacheHeight = slots * record.cellSize;
    record.cellsPerColumn = slots;
    record.cachePitch = (record.cellSize * record.cacheBitsPerPixel + 7) / 8;
    // The last cell starts one row in, so it ends on the row after the cache.
    record.cacheMemory = static_cast<uint8_t*>(AllocZeroedMemory(
        static_cast<size_t>(record.cacheHeight + 1) * record.cachePitch, __FILE__, __LINE__));
    if (record.cacheMemory == nullptr) {
        WriteLogLine("フォントのキャッシュ用メモリの確保に失敗しました in CreateFontToHandle");
        return -1;
    }
    return 0;
}

int MakeTextureCache(FontRecord& record, int handle) {
    SetTextureCacheSize(record);
    record.cacheLost = 1;
    if (BuildFontCacheGraphics(handle) != 0) {
        WriteLogLine("テクスチャ文字キャッシュの作成に失敗しました\n");
        record.textureCache = 0;
        return 1;
    }
    // The CPU copy of the cache graphic, 16 bits per pixel.
    PixelImage& image = record.cacheBaseImage;
    image.width = record.fontType & kFontTypeEdgedBit ? record.cacheWidth * 2 : record.cacheWidth;
    image.height = record.cacheHeight;
    image.format = *GlyphCachePixelFormat(record.fontType);
    image.pitch = image.width * image.format.bytesPerPixel;
    image.mipCount = 0;
    image.pixels = static_cast<uint8_t*>(
        AllocZeroedMemory(static_cast<size_t>(image.pitch) * image.height, __FILE__, __LINE__));
    if (image.pixels == nullptr) {
        WriteLogLine("文字キャッシュ基本イメージ用のメモリの確保に失敗しました\n");
        return -1;
    }
    return 0;
}

}  // namespace

FontRecord* GetFontRecord(int handle) {
    if (handle < 0 || (handle & kKindMask) != kHandleKind) return nullptr;
    const int index = handle & 0xFFFF;
    if (index >= kMaxFontHandles) return nullptr;
    FontRecord* record = FontTable[index];
    if (record == nullptr || static_cast<int>((record->checkWord & 0x7FF) << 16) != (handle & kCheckMask))
        return nullptr;
    return record;
}

int IsValidFontHandle(int handle) { return GetFontRecord(handle) != nullptr ? 1 : 0; }

int CreateFontToHandle(const char* fontName, int size, int thick, int fontType, int charSet, int edgeSize,
                       int italic, int slotIndex, int checkValue) {
    if (MainWindow.windowDestroyed) return -1;
    if (size == -1) size = kDefaultSize;
    if (thick == -1) thick = kDefaultThickness;
    if (fontType == -1) fontType = 0;
    if (edgeSize == -1) edgeSize = 1;
    if (edgeSize > 1) fontType |= kFontTypeEdgedBit;
    // Korean systems take the Hangeul character set and its lead bytes.
    if (charSet == -1) charSet = GetOEMCP() == 949 ? 2 : 1;

    int index = -1;
    if (slotIndex != -1) {
        // Only a slot of the table, and only a free one.
        if (slotIndex < 0 || slotIndex >= kMaxFontHandles || FontTable[slotIndex] != nullptr) return -1;
        index = slotIndex;
    } else {
        for (int slot = 0; slot < kMaxFontHandles && index < 0; ++slot)
            if (FontTable[slot] == nullptr) index = slot;
        if (index < 0) {
            WriteLogFormat("作成できるフォントハンドル数 %d の限界を超えました", kMaxFontHandles);
            return -1;
        }
    }

    auto* record = static_cast<FontRecord*>(AllocZeroedMemory(sizeof(FontRecord), __FILE__, __LINE__));
    if (record == nullptr) {
        WriteLogLine("フォント管理用メモリ領域の確保に失敗しました\n");
        return -1;
    }
    record->cacheGraphic = -1;
    record->edgeGraphic = -1;
    if (GetScreenColorBitDepth() == 8) fontType &= ~kFontTypeAntialiasedBit;
    record->size = size;
    record->fontType = fontType;
    record->thickness = thick;
    record->edgeSize = edgeSize;
    record->italic = italic;
    if (checkValue != -1) {
        record->checkWord = static_cast<uint32_t>(checkValue) & 0x7FF;
    } else {
        record->checkWord = CheckCounter;
        CheckCounter = (CheckCounter + 1) & 0x7FF;
    }
    record->textureCache = IsDirect3DPathInUse() ? 1 : 0;
    FontTable[index] = record;
    const int handle = MakeHandle(record->checkWord, index);

    HFONT font = nullptr;
    if (fontName != nullptr && fontName[0] != '\0') {
        CopyFace(record->face, fontName);
        font = CreateGdiFont(*record, record->face, GdiCharset(charSet), italic);
        if (font == nullptr) font = CreateGdiFont(*record, record->face, DEFAULT_CHARSET, italic);
        if (font == nullptr) font = CreateGdiFont(*record, record->face, SHIFTJIS_CHARSET, italic);
        if (font == nullptr) {
            WriteLogLine("指定のフォントの作成に失敗しました\n");
            DeleteFontHandle(handle);
            return -1;
        }
    } else {
        font = CreateGdiFont(*record, kDefaultFace, GdiCharset(charSet), italic);
        if (font == nullptr) font = CreateGdiFont(*record, kDefaultFace, DEFAULT_CHARSET, 0);
        if (font == nullptr) font = CreateGdiFont(*record, nullptr, DEFAULT_CHARSET, 0);
        if (font == nullptr) {
            WriteLogLine("フォントの作成に失敗しました\n");
            DeleteFontHandle(handle);
            return -1;
        }
    }
    if (MeasureFont(*record, font) != 0) {
        DeleteObject(font);
        DeleteFontHandle(handle);
        return -1;
    }
    record->gdiFont = font;

    int textureResult = 1;
    if (record->textureCache) textureResult = MakeTextureCache(*record, handle);
    if (textureResult < 0 || (textureResult == 1 && MakeMemoryCache(*record) != 0)) {
        DeleteFontHandle(handle);
        return -1;
    }
    ResetGlyphCache(handle);
    record->charsetCode = charSet;
    record->deleteFlag = nullptr;
    return handle;
}

int DeleteFontHandle(int handle) {
    FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    if (record->gdiFont != nullptr) DeleteObject(record->gdiFont);
    if (record->cacheMemory != nullptr) FreeMemory(record->cacheMemory);
    if (record->cacheGraphic != -1) DeleteGraphicHandle(record->cacheGraphic, 0);
    if (record->edgeGraphic != -1) DeleteGraphicHandle(record->edgeGraphic, 0);
    record->cacheGraphic = record->edgeGraphic = -1;
    if (record->cacheBaseImage.pixels != nullptr) FreeMemory(record->cacheBaseImage.pixels);
    if (record->deleteFlag != nullptr) *record->deleteFlag = 1;
    FontTable[handle & 0xFFFF] = nullptr;
    FreeMemory(record);
    return 0;
}

int SetFontDeleteFlagPointer(int handle, int* flag) {
    FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    record->deleteFlag = flag;
    if (flag != nullptr) *flag = 0;
    return 0;
}

int GetFontHandleInfo(char* fontName, int* size, int* thick, int handle) {
    FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    if (fontName != nullptr) std::strcpy(fontName, record->face);
    if (size != nullptr) *size = record->size;
    if (thick != nullptr) *thick = record->thickness;
    return 0;
}

int GetFontSize(int handle) {
    FontRecord* record = GetFontRecord(handle);
    return record == nullptr ? -1 : record->size;
}

int SetFontSpacing(int spacing, int handle) {
    FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    record->spacing = spacing;
    return 0;
}

int GetDefaultFontHandle() { return DefaultFont.handle; }

int SetDefaultFontSize(const char* fontName, int size, int thick) {
    DefaultFont.size = size == -1 ? kDefaultSize : size;
    DefaultFont.thickness = thick == -1 ? kDefaultThickness : thick;
    return RefreshDefaultFont();
}

int RefreshDefaultFont() {
    const FontRecord* record = GetFontRecord(DefaultFont.handle);
    if (record != nullptr && std::strcmp(record->face, DefaultFont.face) == 0 &&
        record->fontType == DefaultFont.type && record->size == DefaultFont.size &&
        record->thickness == DefaultFont.thickness && record->charsetCode == DefaultFont.charsetCode &&
        record->edgeSize == DefaultFont.edgeSize && record->italic == DefaultFont.italic)
        return 0;
    if (record != nullptr) DeleteFontHandle(DefaultFont.handle);
    DefaultFont.handle = CreateFontToHandle(DefaultFont.face, DefaultFont.size, DefaultFont.thickness,
                                            DefaultFont.type, DefaultFont.charsetCode,
                                            DefaultFont.type & kFontTypeEdgedBit ? DefaultFont.edgeSize : -1,
                                            DefaultFont.italic, -1, -1);
    SetFontSpacing(DefaultFont.spacing, DefaultFont.handle);
    return DefaultFont.handle < 0 ? -1 : 0;
}

int InitFontSystem() {
    std::memset(FontTable, 0, sizeof FontTable);
    CheckCounter = 0;
    DefaultFont = DefaultFontSettings{-1, {}, kDefaultSize, kDefaultThickness, 0, 1, 1, 0, 0};
    return ResetFontSystem();
}

int ResetFontSystem() {
    WriteLogLine("フォントの初期化を行います\n");
    IncreaseLogDepth();
    FontRecord remembered{};
    const FontRecord* old = GetFontRecord(DefaultFont.handle);
    const bool hadDefault = old != nullptr;
    if (hadDefault) {
        std::memcpy(remembered.face, old->face, sizeof remembered.face);
        remembered.size = old->size;
        remembered.thickness = old->thickness;
        remembered.fontType = old->fontType;
        remembered.charsetCode = old->charsetCode;
        remembered.edgeSize = old->edgeSize;
        remembered.italic = old->italic;
    }
    for (int index = 0; index < kMaxFontHandles; ++index)
        if (FontTable[index] != nullptr) DeleteFontHandle(MakeHandle(FontTable[index]->checkWord, index));
    if (hadDefault)
        DefaultFont.handle = CreateFontToHandle(remembered.face, remembered.size, remembered.thickness,
                                                remembered.fontType, remembered.charsetCode, remembered.edgeSize,
                                                remembered.italic, -1, -1);
    else
        DefaultFont.handle = CreateFontToHandle("", kDefaultSize, kDefaultThickness, -1, -1, -1, 0, -1, -1);
    DecreaseLogDepth();
    WriteLogLine("フォントの初期化は正常に終了しました\n");
    return 0;
}

int EndFontSystem() {
    ResetFontSystem();
    DeleteFontHandle(DefaultFont.handle);
    DefaultFont.handle = -1;
    return 0;
}

int RestoreFontHandles() {
    for (int index = 0; index < kMaxFontHandles; ++index) {
        const FontRecord* record = FontTable[index];
        if (record == nullptr) continue;
        char face[256];
        std::memcpy(face, record->face, sizeof face);
        const uint32_t check = record->checkWord;
        const int thickness = record->thickness, type = record->fontType, size = record->size;
        const int charset = record->charsetCode, edge = record->edgeSize, italic = record->italic;
        const int spacing = record->spacing;
        DeleteFontHandle(MakeHandle(check, index));
        const int handle = CreateFontToHandle(face, size, thickness, type, charset, edge, italic, index,
                                              static_cast<int>(check));
        if (handle >= 0) SetFontSpacing(spacing, handle);
    }
    return 0;
}

int IsMultiByteLeadByte(const unsigned char* byte, int charSet) {
    const unsigned char value = *byte;
    if (charSet == 2) return value >> 7;
    return IsShiftJisLeadByte(value) ? 1 : 0;
}
