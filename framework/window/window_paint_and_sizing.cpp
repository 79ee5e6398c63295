// WM_PAINT and WM_SIZING of the main window.
#include "framework/base/framework_state.h"
#include "framework/window/inactive_picture.h"
#include "framework/window/main_window_state.h"
#include "framework/window/window_mode.h"
#include "framework/window/window_procedure_parts.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode.h"

void HandlePaint(HWND window) {
    MainWindowState& state = MainWindow;
    const MainWindowSettings& settings = state.settings;
    PAINTSTRUCT paint{};
    HDC deviceContext = BeginPaint(window, &paint);
    if (deviceContext == nullptr) return;
    if (settings.windowModeFlag) {
        state.paintingFlag = 1;
        if (!state.activeFlag && InactivePicture.set && !settings.runWhenInactive) {
            DrawInactivePicture();
        } else if (FrameworkInitialised == 0 && settings.windowRegion == nullptr) {
            // Before the screen exists the client area shows the background.
            HBRUSH brush = nullptr;
            if (settings.backgroundColorSet)
                brush = CreateSolidBrush(
                    RGB(settings.backgroundRed, settings.backgroundGreen, settings.backgroundBlue));
            if (brush != nullptr) {
                FillRect(deviceContext, &paint.rcPaint, brush);
                DeleteObject(brush);
            } else {
                FillRect(deviceContext, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            }
        } else if (GetDrawTarget() == -2) {
            const int waitVSync = GetWaitVSyncFlag();
            SetWaitVSyncFlag(0);
            RepaintBackBuffer();
            SetWaitVSyncFlag(waitVSync);
        }
        state.paintingFlag = 0;
    }
    EndPaint(window, &paint);
}

void HandleSizing(HWND window, WPARAM edge, RECT* proposed) {
    MainWindowSettings& settings = MainWindow.settings;
    if (!settings.windowModeFlag || settings.userWindowFlag) return;
    int screenWidth = 0, screenHeight = 0;
    GetMainScreenSize(&screenWidth, &screenHeight);
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int frameWidth = (outer.right - outer.left) - (client.right - client.left);
    const int frameHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
    int clientWidth = proposed->right - proposed->left - frameWidth;
    int clientHeight = proposed->bottom - proposed->top - frameHeight;

    if (settings.FreeWindowSizeFlag || settings.RequestedWindowSize.set) {
        double rateX = 1.0, rateY = 1.0;
        GetWindowScaleRates(&rateX, &rateY);
        const int scaledWidth = static_cast<int>(screenWidth * rateX);
        const int scaledHeight = static_cast<int>(screenHeight * rateY);
        if (clientWidth > scaledWidth) proposed->right = proposed->left + scaledWidth + frameWidth;
        if (clientHeight > scaledHeight) proposed->bottom = proposed->top + scaledHeight + frameHeight;
        return;
    }

    // Keep the screen's aspect ratio: the dragged edge leads, and a corner
    // follows the direction that grew more.
    bool widthLeads = true;
    switch (edge) {
        case WMSZ_LEFT:
        case WMSZ_RIGHT: widthLeads = true; break;
        case WMSZ_TOP:
        case WMSZ_BOTTOM: widthLeads = false; break;
        case WMSZ_TOPLEFT:
        case WMSZ_TOPRIGHT:
        case WMSZ_BOTTOMLEFT:
        case WMSZ_BOTTOMRIGHT:
            widthLeads = static_cast<double>(clientWidth) / screenWidth >
                         static_cast<double>(clientHeight) / screenHeight;
            break;
        default:
            settings.WindowScaleRateX = settings.WindowScaleRateY = static_cast<double>(clientWidth) / screenWidth;
            return;
    }
    if (widthLeads) {
        clientHeight = clientWidth * screenHeight / screenWidth;
        proposed->bottom = proposed->top + clientHeight + frameHeight;
    } else {
        clientWidth = clientHeight * screenWidth / screenHeight;
        proposed->right = proposed->left + clientWidth + frameWidth;
    }
    settings.WindowScaleRateX = settings.WindowScaleRateY = static_cast<double>(clientWidth) / screenWidth;
}
