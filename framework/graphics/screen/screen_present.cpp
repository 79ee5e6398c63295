// Presenting the screen: the software path copies the primary screen image
// into the window through GDI, paced by the vertical blank; the hardware path
// stretches the sub back buffer onto the back buffer and presents the swap
// chain. A layered window takes the screen read back on either path instead.
// The front screen's timer presents on its own while -4 is the target.
#include <cstring>

#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "framework/graphics/screen/back_buffer_access.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/window/layered_window.h"
#include "framework/window/main_window_state.h"
#include "framework/window/tool_bar.h"
#include "framework/window/window_mode.h"
#include "platform/platform.h"

namespace {

constexpr int kBackBuffer = -2;
constexpr int kFrontScreen = -4;

// A BITMAPINFO with room for the three channel masks after the header.
struct BitfieldsInfo {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};
static_assert(sizeof(BitfieldsInfo) == sizeof(BITMAPINFOHEADER) + 12);

bool Is320x240Screen(int width, int height) { return Screen320x240Flag && width == 640 && height == 480; }

// The on-screen log over the frame, with the whole screen, no blending and
// no brightening; the caller's settings come back afterwards.
void DrawLogOverFrame(int width, int height) {
    DrawSettings& settings = CurrentDrawSettings;
    const RECT area = settings.requestedDrawArea;
    const int mode = settings.blendMode;
    const int param = settings.blendParam;
    const uint32_t bright = GetDrawBrightColor();
    SetDrawAreaRect(0, 0, width, height);
    SetBlendModeAndParam(kBlendModeNone, 0);
    SetDrawBrightnessRGB(255, 255, 255);
    DrawOnScreenLog();
    SetDrawAreaRect(area.left, area.top, area.right, area.bottom);
    SetBlendModeAndParam(mode, param);
    SetDrawBrightnessColor(bright);
}

RECT DestinationRect(int width, int height) {
    double rateX = 1.0, rateY = 1.0;
    GetWindowScaleRates(&rateX, &rateY);
    RECT dest = {0, 0, static_cast<LONG>(width * rateX), static_cast<LONG>(height * rateY)};
    if (MainWindow.toolBarExists && MainWindow.windowHandle != nullptr) {
        RECT client = {};
        GetClientRect(MainWindow.windowHandle, &client);
        dest.bottom = client.bottom;
        dest.top = client.bottom - height;
    }
    return dest;
}

// The whole screen, read back as the back buffer, handed to the layered
// window; the draw target is the screen only for the read.
void ShowInLayeredWindow(int width, int height) {
    DrawSettings& settings = CurrentDrawSettings;
    const int target = settings.drawTarget;
    settings.drawTarget = kBackBuffer;
    const int whole[4] = {0, 0, width, height};
    PixelImage image = {};
    if (LockBackBuffer(whole, &image) == 0) {
        UpdateLayeredWindowImage(&image, nullptr, 0);
        UnlockBackBuffer();
    }
    settings.drawTarget = target;
}

int PresentSoftware(int width, int height, const RECT& dest) {
    const int waitVSync = GetWaitVSyncFlag();
    if (waitVSync) WaitVerticalBlankInterval();
    if (MainWindow.settings.LayeredWindowFlag) {
        if (waitVSync) WaitVerticalBlankInterval();
        ShowInLayeredWindow(width, height);
        return 0;
    }
    const MEMIMG& screen = PrimaryScreenMemImg;
    const PixelFormat& format = *screen.base->format;
    BitfieldsInfo info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    // The rows as they lie in memory: the DIB is as wide as the pitch holds.
    info.header.biWidth = screen.base->pitch / format.bytesPerPixel;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = format.bitsPerPixel;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = format.redMask;
    info.masks[1] = format.greenMask;
    info.masks[2] = format.blueMask;
    static_assert(sizeof(BITMAPINFO) <= sizeof(BitfieldsInfo));
    const auto* header = reinterpret_cast<const BITMAPINFO*>(&info);

    HWND window = MainWindow.windowHandle;
    HDC context = GetDC(window);
    if (context == nullptr) return 0;
    const int destWidth = dest.right - dest.left;
    const int destHeight = dest.bottom - dest.top;
    if (Is320x240Screen(width, height)) {
        // The upper-left quarter, counted from the image's lower-left corner.
        StretchDIBits(context, dest.left, dest.top, destWidth, destHeight, 0, 240, 320, 240, screen.pixels, header,
                      DIB_RGB_COLORS, SRCCOPY);
    } else if (destWidth == width && destHeight == height && dest.left == 0 && dest.top == 0) {
        SetDIBitsToDevice(context, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(height), screen.pixels, header, DIB_RGB_COLORS);
    } else {
        StretchDIBits(context, dest.left, dest.top, destWidth, destHeight, 0, 0, width, height, screen.pixels, header,
                      DIB_RGB_COLORS, SRCCOPY);
    }
    ReleaseDC(window, context);
    return 0;
}

int PresentHardware(int width, int height, const RECT& source, const RECT& dest) {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.device == nullptr || state.swapChain == nullptr) return -1;
    FlushVertexBatch();
    EndDeviceScene();
    if (MainWindow.settings.LayeredWindowFlag) {
        ShowInLayeredWindow(width, height);
        return 0;
    }
    const bool doubled = Is320x240Screen(width, height);
    if (doubled) SwitchToSubBackBuffer();
    if (state.subBackBuffer != nullptr) {
        if (doubled) {
            const RECT quarter = {0, 0, 320, 240};
            const RECT whole = {0, 0, 640, 480};
            if (state.device->StretchRect(state.subBackBuffer, &quarter, state.backBuffer, &whole, D3DTEXF_POINT) !=
                    D3D_OK &&
                state.device->StretchRect(state.subBackBuffer, &quarter, state.backBuffer, &whole, D3DTEXF_NONE) !=
                    D3D_OK)
                return -1;
        } else if (state.device->StretchRect(state.subBackBuffer, nullptr, state.backBuffer, nullptr, D3DTEXF_NONE) !=
                   D3D_OK) {
            return -1;
        }
    }
    HRESULT result;
    if (IsWindowModeOn() && !doubled)
        result = state.swapChain->Present(&source, &dest, MainWindow.windowHandle, nullptr, 0);
    else
        result = state.swapChain->Present(nullptr, nullptr, nullptr, nullptr, 0);
    return result == D3D_OK ? 0 : -1;
}

PresentHook Hook = nullptr;

int Present() {
    if (!FrameworkInitialised || IsQuitPosted()) return -1;
    if (!GraphicsSystemUp) return -1;
    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    if (GetOnScreenLogFlag()) DrawLogOverFrame(width, height);
    RECT source = {0, 0, width, height};
    RECT dest = source;
    if (Is320x240Screen(width, height)) {
        // The upper-left quarter is shown doubled over the whole screen.
        source = RECT{0, 0, 320, 240};
    } else if (IsWindowModeOn()) {
        dest = DestinationRect(width, height);
    }
    if (!HardwarePathFlag) {
        if (!IsMemImgValid(&PrimaryScreenMemImg)) return 0;
        return PresentSoftware(width, height, dest);
    }
    return PresentHardware(width, height, source, dest);
}

}  // namespace

void SetPresentHook(PresentHook hook) { Hook = hook; }

int PresentBackBuffer() {
    const PresentHook hook = Hook;
    if (hook == nullptr) return Present();
    hook(0);
    const int result = Present();
    hook(1);
    return result;
}

int RepaintBackBuffer() {
    if (HardwarePathFlag && !IsWindowModeOn()) SwitchToSubBackBuffer();
    return PresentBackBuffer();
}

void CALLBACK FrontScreenTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    KillTimer(window, FrontScreenPresentTimerId);
    if (CurrentDrawSettings.drawTarget != kFrontScreen || MainWindow.settings.LayeredWindowFlag) return;
    if (HardwarePathFlag && !IsWindowModeOn()) SwitchToSubBackBuffer();
    PresentBackBuffer();
    SetTimer(window, FrontScreenPresentTimerId, FrontScreenPresentMilliseconds, FrontScreenTimerProc);
}
