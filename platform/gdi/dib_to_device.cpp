// DIB pixels onto a window: SetDIBitsToDevice and StretchDIBits, which is
// how the software path shows its screen. Every source pixel is read through
// its channel masks and written as the window's 0x00RRGGBB.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/kernel.h"

namespace platform::detail {
namespace {

constexpr LONG kMaxDimension = 16384;

// One channel of a mask widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
    uint32_t Read(uint32_t value) const {
        if (width == 0) return 0;
        uint32_t v = (value & mask) >> shift;
        if (width >= 8) return v >> (width - 8);
        // The top bits repeated below, so that a full channel reads as 255.
        if (width >= 4) return (v << (8 - width) | v >> (2 * width - 8)) & 0xFFu;
        return v * 255u / ((1u << width) - 1u);
    }
};

Channel ChannelOf(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask == 0) return c;
    while (((mask >> c.shift) & 1u) == 0) ++c.shift;
    while (c.shift + c.width < 32 && ((mask >> (c.shift + c.width)) & 1u) != 0) ++c.width;
    return c;
}

// A DIB as the copy reads it.
struct DibView {
    const uint8_t* bits = nullptr;
    LONG width = 0;
    LONG height = 0;
    bool topDown = false;
    int bytesPerPixel = 0;
    size_t pitch = 0;
    Channel red, green, blue;

    // Row `row` (0 the top) as stored.
    const uint8_t* Row(LONG row) const {
        const LONG stored = topDown ? row : height - 1 - row;
        return bits + static_cast<size_t>(stored) * pitch;
    }
    uint32_t Convert(uint32_t value) const {
        return red.Read(value) << 16 | green.Read(value) << 8 | blue.Read(value);
    }
    uint32_t Read(const uint8_t* row, LONG x) const {
        uint32_t value = 0;
        std::memcpy(&value, row + static_cast<size_t>(x) * bytesPerPixel, static_cast<size_t>(bytesPerPixel));
        return value;
    }
};

// Turns source pixels into the window's 0x00RRGGBB. A full frame is
// hundreds of thousands of pixels, so the common layouts skip the channel
// arithmetic: 32-bit 8:8:8 is a mask, and every 16-bit layout goes through a
// table of all 65,536 values made by the same channel reads.
class PixelConverter {
public:
    explicit PixelConverter(const DibView& view) : view_(view) {
        plain32_ = view.bytesPerPixel == 4 && view.red.mask == 0x00FF0000u && view.green.mask == 0x0000FF00u &&
                   view.blue.mask == 0x000000FFu;
        if (view.bytesPerPixel == 2) table_ = TableFor(view);
    }

    uint32_t At(const uint8_t* row, LONG x) const {
        const uint32_t value = view_.Read(row, x);
        if (plain32_) return value & 0x00FFFFFFu;
        if (table_ != nullptr) return table_[value & 0xFFFFu];
        return view_.Convert(value);
    }

    // `count` pixels from column `x` on.
    void Run(const uint8_t* row, LONG x, LONG count, uint32_t* out) const {
        if (plain32_) {
            std::memcpy(out, row + static_cast<size_t>(x) * 4, static_cast<size_t>(count) * 4);
            for (LONG i = 0; i < count; ++i) out[i] &= 0x00FFFFFFu;
        } else if (table_ != nullptr) {
            const uint8_t* at = row + static_cast<size_t>(x) * 2;
            for (LONG i = 0; i < count; ++i, at += 2) {
                uint16_t value;
                std::memcpy(&value, at, 2);
                out[i] = table_[value];
            }
        } else {
            for (LONG i = 0; i < count; ++i) out[i] = view_.Convert(view_.Read(row, x + i));
        }
    }

private:
    // The table of the last 16-bit layout asked for: a program presents in
    // one layout frame after frame. Built and read under the window lock.
    static const uint32_t* TableFor(const DibView& view) {
        static uint32_t masks[3] = {0, 0, 0};
        static std::vector<uint32_t> table;
        if (table.empty() || masks[0] != view.red.mask || masks[1] != view.green.mask ||
            masks[2] != view.blue.mask) {
            table.resize(65536);
            for (uint32_t value = 0; value < 65536; ++value) table[value] = view.Convert(value);
            masks[0] = view.red.mask;
            masks[1] = view.green.mask;
            masks[2] = view.blue.mask;
        }
        return table.data();
    }

    const DibView& view_;
    bool plain32_ = false;
    const uint32_t* table_ = nullptr;
};

bool ReadDib(const void* bits, const BITMAPINFO* info, UINT usage, DibView& view) {
    if (bits == nullptr || info == nullptr || usage != DIB_RGB_COLORS) return false;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biPlanes != 1 || header.biWidth <= 0 || header.biWidth > kMaxDimension || header.biHeight == 0 ||
        header.biHeight < -kMaxDimension || header.biHeight > kMaxDimension)
        return false;
    view.bits = static_cast<const uint8_t*>(bits);
    view.width = header.biWidth;
    view.topDown = header.biHeight < 0;
    view.height = view.topDown ? -header.biHeight : header.biHeight;
    if (header.biCompression == BI_RGB && header.biBitCount == 32) {
        view.red = ChannelOf(0x00FF0000u);
        view.green = ChannelOf(0x0000FF00u);
        view.blue = ChannelOf(0x000000FFu);
    } else if (header.biCompression == BI_BITFIELDS && (header.biBitCount == 16 || header.biBitCount == 32)) {
        uint32_t masks[3];
        std::memcpy(masks, info->bmiColors, sizeof(masks));
        view.red = ChannelOf(masks[0]);
        view.green = ChannelOf(masks[1]);
        view.blue = ChannelOf(masks[2]);
    } else {
        return false;
    }
    view.bytesPerPixel = header.biBitCount / 8;
    // Rows are padded to whole DWORDs.
    view.pitch = (static_cast<size_t>(view.width) * view.bytesPerPixel + 3) & ~static_cast<size_t>(3);
    return true;
}

// Maps destination pixels to source pixels: a straight copy (an offset) or a
// stretch (a scale), separately in x and in y.
struct AxisMap {
    LONG destStart = 0;
    LONG sourceStart = 0;
    int64_t sourceSize = 1;  // a stretch maps destSize pixels onto sourceSize
    int64_t destSize = 1;
    LONG Source(LONG dest) const {
        return sourceStart + static_cast<LONG>(static_cast<int64_t>(dest - destStart) * sourceSize / destSize);
    }
    bool Straight() const { return sourceSize == destSize; }
};

// Copies into the window behind the context, leaving destination pixels
// whose source lies outside the DIB.
int CopyToWindow(HDC deviceContext, const DibView& view, RECT dest, const AxisMap& xs, const AxisMap& ys) {
    DeviceContext context;
    if (!FindDeviceContext(deviceContext, context)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (context.window == nullptr) return 1;
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> window = FindWindowRecordLocked(context.window);
    if (!window) return 0;
    uint32_t* pixels = WindowPixelsLocked(*window);
    RECT area{std::max<LONG>(dest.left, 0), std::max<LONG>(dest.top, 0), std::min<LONG>(dest.right, window->pixelWidth),
              std::min<LONG>(dest.bottom, window->pixelHeight)};
    if (context.clipped) {
        area.left = std::max(area.left, context.clip.left);
        area.top = std::max(area.top, context.clip.top);
        area.right = std::min(area.right, context.clip.right);
        area.bottom = std::min(area.bottom, context.clip.bottom);
    }
    const PixelConverter convert(view);
    for (LONG y = area.top; y < area.bottom; ++y) {
        const LONG row = ys.Source(y);
        if (row < 0 || row >= view.height) continue;
        const uint8_t* source = view.Row(row);
        uint32_t* out = pixels + static_cast<size_t>(y) * static_cast<size_t>(window->pixelWidth);
        if (xs.Straight()) {
            // The columns whose source lies inside the DIB, in one run.
            const LONG offset = xs.sourceStart - xs.destStart;
            const LONG first = std::max(area.left, -offset);
            const LONG last = std::min(area.right, view.width - offset);
            if (first < last) convert.Run(source, first + offset, last - first, out + first);
            continue;
        }
        for (LONG x = area.left; x < area.right; ++x) {
            const LONG sx = xs.Source(x);
            if (sx >= 0 && sx < view.width) out[x] = convert.At(source, sx);
        }
    }
    window->pixelsChanged = true;
    return 1;
}

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

int WINAPI SetDIBitsToDevice(HDC deviceContext, int destX, int destY, DWORD width, DWORD height, int sourceX,
                             int sourceY, UINT startScan, UINT lineCount, const void* bits, const BITMAPINFO* info,
                             UINT usage) {
    DibView view;
    if (!ReadDib(bits, info, usage, view) || startScan != 0 || lineCount != static_cast<UINT>(view.height) ||
        width > static_cast<DWORD>(kMaxDimension) || height > static_cast<DWORD>(kMaxDimension)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // The source rectangle's top row, counted from the DIB's lower-left corner.
    const LONG topRow = view.height - sourceY - static_cast<LONG>(height);
    const RECT dest{destX, destY, destX + static_cast<LONG>(width), destY + static_cast<LONG>(height)};
    const AxisMap xs{destX, sourceX, 1, 1};
    const AxisMap ys{destY, topRow, 1, 1};
    const int copied = CopyToWindow(deviceContext, view, dest, xs, ys);
    return copied == 0 ? 0 : static_cast<int>(lineCount);
}

int WINAPI StretchDIBits(HDC deviceContext, int destX, int destY, int destWidth, int destHeight, int sourceX,
                         int sourceY, int sourceWidth, int sourceHeight, const void* bits, const BITMAPINFO* info,
                         UINT usage, DWORD rop) {
    DibView view;
    if (!ReadDib(bits, info, usage, view) || rop != SRCCOPY || destWidth <= 0 || destHeight <= 0 ||
        sourceWidth <= 0 || sourceHeight <= 0 || destWidth > kMaxDimension || destHeight > kMaxDimension ||
        sourceWidth > kMaxDimension || sourceHeight > kMaxDimension) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const LONG topRow = view.height - sourceY - sourceHeight;
    const RECT dest{destX, destY, destX + destWidth, destY + destHeight};
    const AxisMap xs{destX, sourceX, sourceWidth, destWidth};
    const AxisMap ys{destY, topRow, sourceHeight, destHeight};
    const int copied = CopyToWindow(deviceContext, view, dest, xs, ys);
    return copied == 0 ? 0 : sourceHeight;
}
