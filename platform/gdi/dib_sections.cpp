// DIB sections and memory device contexts: the bitmap a program draws into
// through its pixel pointer and hands on through a memory device context.
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/gdi/dib_sections.h"
#include "platform/gdi/font_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/kernel.h"

namespace platform::detail {
namespace {

// The largest section made: far beyond any screen, and small enough that its
// size never overflows.
constexpr LONG kMaxDimension = 16384;

struct DibSection {
    std::vector<uint8_t> pixels;
    LONG width = 0;
    LONG height = 0;
    bool topDown = false;
};

struct MemoryContext {
    HGDIOBJ selected = nullptr;
    HGDIOBJ font = nullptr;
};

struct DibTable {
    std::mutex lock;
    std::map<HGDIOBJ, DibSection> sections;
    std::map<HDC, MemoryContext> memoryContexts;
    // What a new memory device context holds: a 1 by 1 bitmap of its own.
    HGDIOBJ stockBitmap = NewUserHandle();
};

DibTable& Dibs() {
    static DibTable* table = new DibTable;  // outlives threads still running at exit
    return *table;
}

bool IsSelectedLocked(const DibTable& table, HGDIOBJ bitmap) {
    for (const auto& [handle, context] : table.memoryContexts)
        if (context.selected == bitmap) return true;
    return false;
}

}  // namespace

bool FindSelectedBitmap(HDC memoryContext, SelectedBitmap& found) {
    DibTable& table = Dibs();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto context = table.memoryContexts.find(memoryContext);
    if (context == table.memoryContexts.end()) return false;
    const auto section = table.sections.find(context->second.selected);
    if (section == table.sections.end()) return false;
    const DibSection& dib = section->second;
    const LONG stride = dib.width * 4;
    found.width = dib.width;
    found.height = dib.height;
    found.rowStep = dib.topDown ? stride : -stride;
    found.pixels = dib.topDown ? dib.pixels.data() : dib.pixels.data() + static_cast<size_t>(dib.height - 1) * stride;
    return true;
}

HGDIOBJ SelectedFont(HDC deviceContext) {
    DibTable& table = Dibs();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto context = table.memoryContexts.find(deviceContext);
    return context == table.memoryContexts.end() ? nullptr : context->second.font;
}

bool DeleteDibSection(HGDIOBJ bitmap) {
    DibTable& table = Dibs();
    std::lock_guard<std::mutex> guard(table.lock);
    if (IsSelectedLocked(table, bitmap)) return false;
    return table.sections.erase(bitmap) != 0;
}

}  // namespace platform::detail

using namespace platform::detail;

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
    if (bits != nullptr) *bits = nullptr;
    if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const int64_t rows = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biBitCount != 32 ||
        header.biCompression != BI_RGB || header.biWidth <= 0 || header.biWidth > kMaxDimension || rows <= 0 ||
        rows > kMaxDimension) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    DibSection dib;
    dib.width = header.biWidth;
    dib.height = static_cast<LONG>(rows);
    dib.topDown = header.biHeight < 0;
    dib.pixels.assign(static_cast<size_t>(dib.width) * static_cast<size_t>(dib.height) * 4, 0);

    HBITMAP handle = static_cast<HBITMAP>(NewUserHandle());
    DibTable& table = Dibs();
    std::lock_guard<std::mutex> guard(table.lock);
    DibSection& stored = table.sections[handle] = std::move(dib);
    if (bits != nullptr) *bits = stored.pixels.data();
    return handle;
}

int WINAPI GetObjectA(HGDIOBJ object, int bufferSize, LPVOID buffer) {
    DibTable& table = Dibs();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto found = table.sections.find(object);
    if (found == table.sections.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    constexpr int kSize = static_cast<int>(sizeof(BITMAP));
    if (buffer == nullptr) return kSize;
    if (bufferSize < kSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DibSection& dib = found->second;
    BITMAP description{};
    description.bmType = 0;
    description.bmWidth = dib.width;
    description.bmHeight = dib.height;
    description.bmWidthBytes = dib.width * 4;
    description.bmPlanes = 1;
    description.bmBitsPixel = 32;
    description.bmBits = dib.pixels.data();
    std::memcpy(buffer, &description, sizeof description);
    return kSize;
}

HDC WINAPI CreateCompatibleDC(HDC deviceContext) {
    DeviceContext known;
    DibTable& table = Dibs();
    if (deviceContext != nullptr && !FindDeviceContext(deviceContext, known)) {
        std::lock_guard<std::mutex> guard(table.lock);
        if (table.memoryContexts.count(deviceContext) == 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
    }
    HDC handle = static_cast<HDC>(NewUserHandle());
    std::lock_guard<std::mutex> guard(table.lock);
    table.memoryContexts[handle] = MemoryContext{table.stockBitmap, StockFont()};
    return handle;
}

HGDIOBJ WINAPI SelectObject(HDC deviceContext, HGDIOBJ object) {
    const bool isFont = IsFont(object);
    DibTable& table = Dibs();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto context = table.memoryContexts.find(deviceContext);
    if (isFont && context != table.memoryContexts.end()) {
        HGDIOBJ previous = context->second.font;
        context->second.font = object;
        return previous;
    }
    const bool isBitmap = object == table.stockBitmap || table.sections.count(object) != 0;
    // A bitmap is in one memory device context at a time.
    if (context == table.memoryContexts.end() || !isBitmap ||
        (object != table.stockBitmap && object != context->second.selected && IsSelectedLocked(table, object))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HGDIOBJ previous = context->second.selected;
    context->second.selected = object;
    return previous;
}

BOOL WINAPI DeleteDC(HDC deviceContext) {
    DibTable& table = Dibs();
    std::lock_guard<std::mutex> guard(table.lock);
    return table.memoryContexts.erase(deviceContext) != 0 ? TRUE : FALSE;
}
