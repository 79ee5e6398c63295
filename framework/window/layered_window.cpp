// The layered main window's picture: at every present the screen image is
// turned into a 32-bit bitmap with the window's caption band on top and given
// to the window. The bitmap is kept and made again only when the image size
// changes.
#include "framework/window/layered_window.h"

#include <cstring>

#include "framework/base/framework_state.h"
#include "framework/window/layered_window_conversion.h"
#include "framework/window/main_window_state.h"
#include "framework/graphics/screen/screen_image_access.h"
#include "framework/graphics/screen/screen_mode.h"

LayeredWindowBitmapRecord LayeredWindowBitmap = {};

namespace {

// Vista's version code: from it on, the window takes per-pixel alpha.
constexpr int VistaVersionCode = 0x108;

// Colour references are 0x00BBGGRR; the transparent colour is 0x00RRGGBB.
COLORREF ColorReferenceOf(uint32_t color) {
    return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

// Makes the bitmap again for an image of another size; false when it cannot
// be made (the window then keeps its last picture).
bool FitBitmapTo(const PixelImage* image) {
    LayeredWindowBitmapRecord& bitmap = LayeredWindowBitmap;
    if (bitmap.bitmap != nullptr && image->width == bitmap.width && image->height == bitmap.height) return true;
    if (bitmap.bitmap != nullptr) DeleteObject(bitmap.bitmap);
    bitmap.bitmap = nullptr;
    bitmap.pixels = nullptr;
    bitmap.width = bitmap.height = 0;

    const int rows = image->height + MainWindow.WindowFrameTopOffset;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image->width;
    info.bmiHeader.biHeight = -rows;  // top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowContext = GetDC(MainWindow.windowHandle);
    void* pixels = nullptr;
    HBITMAP made = CreateDIBSection(windowContext, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    ReleaseDC(MainWindow.windowHandle, windowContext);
    if (made == nullptr || pixels == nullptr) return false;

    bitmap.bitmap = made;
    bitmap.pixels = pixels;
    UseArgb32Format(&bitmap.format);
    std::memset(pixels, 0, static_cast<size_t>(rows) * static_cast<size_t>(image->width) * 4);
    bitmap.width = image->width;
    bitmap.height = image->height;
    return true;
}

}  // namespace

void UpdateLayeredWindowImage(const PixelImage* image, HDC sourceContext, int alphaFlag) {
    // Systems without the entry cannot show a layered window at all.
    const auto update = reinterpret_cast<UpdateLayeredWindowRoutine>(MainWindow.layeredWindowEntry);
    if (update == nullptr) return;
    const HWND window = MainWindow.windowHandle;
    HDC screenContext = GetDC(nullptr);
    HDC windowContext = GetDC(window);
    POINT destination{MainWindow.MainWindowRect.left, MainWindow.MainWindowRect.top};
    POINT source{0, 0};
    int screenWidth = 0, screenHeight = 0;
    GetMainScreenSize(&screenWidth, &screenHeight);
    const uint32_t key = GetDrawTransparentColor() & 0xFFFFFF;

    if (sourceContext != nullptr) {
        SIZE size{screenWidth, screenHeight};
        update(window, screenContext, &destination, &size, sourceContext, &source, ColorReferenceOf(key), nullptr,
               ULW_COLORKEY);
    } else if (image != nullptr && image->pixels != nullptr && image->width > 0 && image->height > 0 &&
               FitBitmapTo(image)) {
        const bool modernSystem = WindowsVersionCode >= VistaVersionCode;
        const LayeredBitmapTarget target{static_cast<uint32_t*>(LayeredWindowBitmap.pixels), image->width,
                                         MainWindow.WindowFrameTopOffset, &LayeredWindowBitmap.format};
        ConvertToLayeredBitmap(image, target, key, alphaFlag, modernSystem);

        HDC memoryContext = CreateCompatibleDC(windowContext);
        HGDIOBJ previous = SelectObject(memoryContext, LayeredWindowBitmap.bitmap);
        SIZE size{screenWidth, screenHeight + MainWindow.WindowFrameTopOffset};
        if (!modernSystem && alphaFlag == 0) {
            update(window, screenContext, &destination, &size, memoryContext, &source, ColorReferenceOf(key), nullptr,
                   ULW_COLORKEY);
        } else {
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            update(window, screenContext, &destination, &size, memoryContext, &source, 0, &blend, ULW_ALPHA);
        }
        SelectObject(memoryContext, previous);
        DeleteDC(memoryContext);
    }
    ReleaseDC(window, windowContext);
    ReleaseDC(nullptr, screenContext);
}
