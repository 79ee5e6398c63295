// DIB pixels onto a window: SetDIBitsToDevice and StretchDIBits, which is
// how the software path shows its screen. Every source pixel is read through
// its channel masks and written as the window's 0x00RRGGBB.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>

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

    // The pixel at (x, row), row 0 the top.
    uint32_t Pixel(LONG x, LONG row) const {
        const LONG stored = topDown ? row : height - 1 - row;
        const uint8_t* at = bits + static_cast<size_t>(stored) * pitch + static_cast<size_t>(x) * bytesPerPixel;
        uint32_t value = 0;
        std::memcpy(&value, at, static_cast<size_t>(bytesPerPixel));
        return red.Read(value) << 16 | green.Read(value) << 8 | blue.Read(value);
    }
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

// Copies into the window behind the context; `source` maps a destination
// pixel to the DIB's (x, row) or false to leave it.
template <class Map>
int CopyToWindow(HDC deviceContext, const DibView& view, RECT dest, Map source) {
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
    for (LONG y = area.top; y < area.bottom; ++y) {
        for (LONG x = area.left; x < area.right; ++x) {
            LONG sx = 0, row = 0;
            if (!source(x, y, sx, row)) continue;
            pixels[static_cast<size_t>(y) * static_cast<size_t>(window->pixelWidth) + static_cast<size_t>(x)] =
                view.Pixel(sx, row);
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
    const int copied = CopyToWindow(deviceContext, view, dest, [&](LONG x, LONG y, LONG& sx, LONG& row) {
        sx = sourceX + (x - destX);
        row = topRow + (y - destY);
        return sx >= 0 && sx < view.width && row >= 0 && row < view.height;
    });
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
    const int copied = CopyToWindow(deviceContext, view, dest, [&](LONG x, LONG y, LONG& sx, LONG& row) {
        sx = sourceX + static_cast<LONG>(static_cast<int64_t>(x - destX) * sourceWidth / destWidth);
        row = topRow + static_cast<LONG>(static_cast<int64_t>(y - destY) * sourceHeight / destHeight);
        return sx >= 0 && sx < view.width && row >= 0 && row < view.height;
    });
    return copied == 0 ? 0 : sourceHeight;
}
