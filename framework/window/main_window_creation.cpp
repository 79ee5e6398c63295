// Creating the framework's one main window during start-up: on the way it
// chooses the timer the time functions trust, seeds the random numbers,
// refuses a second running copy of the program, and sets up the cursor.
#include <cstdint>

#include "framework/base/format_text.h"
#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "framework/window/main_window.h"
#include "framework/window/menus.h"
#include "framework/window/mouse.h"
#include "framework/base/random_numbers.h"
#include "framework/window/window_mode.h"
#include "framework/window/window_style.h"
#include "framework/graphics/screen/screen_mode.h"
#include "platform/platform.h"

namespace {

constexpr double BytesToMegabytes = 9.5367431640625e-07;  // 1 / 1048576
constexpr int AccuracyTestChanges = 60;
constexpr DWORD AccuracyTestMilliseconds = 1000;

void LogMemoryStatus() {
    MEMORYSTATUS status{};
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    const double total = static_cast<uint32_t>(status.dwTotalPhys) * BytesToMegabytes;
    const double available = static_cast<uint32_t>(status.dwAvailPhys) * BytesToMegabytes;
    WriteLogFormat("メモリ総量:%.2fMB  空きメモリ領域:%.2fMB ", total, available);
    char text[64];
    FormatString(text, sizeof(text), "%.2fMB\n", available);
    OutputDebugStringA(text);
}

// Counts how often each clock changes within the first of 60 changes of
// either or one second, and keeps the performance counter unless the
// multimedia timer changed more often.
void TestTimerAccuracy(UINT minimumPeriod) {
    WriteLogLine("タイマーの精度を検査します\n");
    int multimediaChanges = 0, counterChanges = 0;
    DWORD lastTime = timeGetTime();
    LARGE_INTEGER lastCount{};
    QueryPerformanceCounter(&lastCount);
    const DWORD start = timeGetTime();
    if (ProcessWindowMessages() == 0) {
        for (;;) {
            if (multimediaChanges >= AccuracyTestChanges || counterChanges >= AccuracyTestChanges) break;
            if (static_cast<DWORD>(timeGetTime() - start) >= AccuracyTestMilliseconds) break;
            LARGE_INTEGER count{};
            QueryPerformanceCounter(&count);
            if (count.QuadPart != lastCount.QuadPart) {
                ++counterChanges;
                lastCount = count;
            }
            const DWORD time = timeGetTime();
            if (time != lastTime) {
                ++multimediaChanges;
                lastTime = time;
            }
            if (ProcessWindowMessages() != 0) break;
        }
    }
    WriteLogFormat("精度結果 更新回数 マルチメディアタイマー：%d  パフォーマンスカウンター：%d", multimediaChanges,
                   counterChanges);
    WriteLogLine(" ");
    if (multimediaChanges > counterChanges) {
        WriteLogFormat("マルチメディアタイマーを使用します タイマー分解能 : %d.00 ms ", static_cast<int>(minimumPeriod));
        UsePerformanceCounter = 0;
    } else {
        WriteLogFormat("パフォーマンスカウンターを使用します タイマー分解能 : %lf KHz ",
                       static_cast<double>(PerformanceCounterFrequency) / 1000.0);
    }
    WriteLogLine(" ");
}

bool RegisterMainWindowClass() {
    MainWindowState& state = MainWindow;
    MainWindowSettings& settings = state.settings;
    state.creatingFlag = 1;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = state.instanceHandle;
    windowClass.hIcon =
        LoadIconA(state.instanceHandle, MAKEINTRESOURCEA(settings.iconId != 0 ? settings.iconId : 32512));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = settings.className;
    WriteLogLine("ウインドウクラスを登録します... ");
    if (RegisterClassExA(&windowClass) == 0) {
        WriteLogLine("ウインドウクラスの登録に失敗しました\n");
        state.quitFlag = 1;
        return false;
    }
    WriteLogLine("登録に成功しました\n");
    if (settings.windowText[0] == '\0') CopyTextBounded(settings.windowText, sizeof(settings.windowText), "KilnLib");
    return true;
}

HWND CreateWindowForWindowMode(int screenWidth, int screenHeight) {
    MainWindowState& state = MainWindow;
    const MainWindowSettings& settings = state.settings;
    WriteLogLine("ウインドウモード起動用のウインドウを作成します\n");
    DWORD style = 0, exStyle = 0;
    GetWindowModeStyles(&style, &exStyle);
    state.cursorVisibleSetting = 1;

    double rateX = 1.0, rateY = 1.0;
    GetWindowScaleRates(&rateX, &rateY);
    int clientWidth = static_cast<int>(screenWidth * rateX);
    int clientHeight = static_cast<int>(screenHeight * rateY);
    if (settings.RequestedWindowSize.set) {
        clientWidth = settings.RequestedWindowSize.width;
        clientHeight = settings.RequestedWindowSize.height;
    }

    // The menu is not counted here even when there is one.
    RECT rect{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    state.WindowFrameTopOffset = -rect.top;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int shiftX = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int shiftY = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    int x = rect.left + shiftX;
    int y = rect.top + shiftY;
    if (settings.RequestedWindowPosition.set) {
        x = settings.RequestedWindowPosition.x;
        y = settings.RequestedWindowPosition.y;
    }
    return CreateWindowExA(exStyle, settings.className, settings.windowText, style, x, y, width, height, nullptr,
                           settings.menuHandle, state.instanceHandle, nullptr);
}

HWND CreateWindowForFullScreen(int screenWidth, int screenHeight) {
    MainWindowState& state = MainWindow;
    const MainWindowSettings& settings = state.settings;
    WriteLogLine("フルスクリーンモード用のウインドウを作成します\n");
    const WindowStyleRow& row = CurrentWindowStyleRow();
    HWND window = CreateWindowExA(row.fullScreenExStyle, settings.className, settings.windowText,
                                  row.fullScreenStyle, 0, 0, screenWidth, screenHeight, nullptr, nullptr,
                                  state.instanceHandle, nullptr);
    state.cursorVisibleSetting = 0;
    return window;
}

}  // namespace

int CreateMainWindow() {
    ResetMainWindowState();
    MainWindowState& state = MainWindow;
    MainWindowSettings& settings = state.settings;

    // Looked up by name, as older systems lack it: a missing entry only
    // leaves the window without per-pixel alpha.
    state.layeredWindowEntry = nullptr;
    if (HMODULE user32 = LoadLibraryA("user32")) {
        state.layeredWindowEntry = reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindow"));
        FreeLibrary(user32);
    }

    if (settings.className[0] == '\0')
        CopyTextBounded(settings.className, sizeof(settings.className),
                        settings.windowText[0] != '\0' ? settings.windowText : "K123987N");

    state.instanceHandle = GetModuleHandleA(nullptr);
    state.mainThreadId = GetCurrentThreadId();

    LogMemoryStatus();

    state.DesktopMode.width = GetSystemMetrics(SM_CXSCREEN);
    state.DesktopMode.height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    state.DesktopMode.colorBits = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);

    int screenWidth = 0, screenHeight = 0;
    GetMainScreenSize(&screenWidth, &screenHeight);

    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    PerformanceCounterFrequency = static_cast<uint64_t>(frequency.QuadPart);
    UsePerformanceCounter = frequency.QuadPart != 0 ? 1 : 0;

    TIMECAPS caps{};
    timeGetDevCaps(&caps, sizeof(caps));
    timeBeginPeriod(caps.wPeriodMin);

    if (UsePerformanceCounter == 1) TestTimerAccuracy(caps.wPeriodMin);

    SeedRandom(timeGetTime() & 0x7fffffff);

    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, SPIF_SENDCHANGE);

    if (settings.noWindowFlag) return 0;

    // The class name defaults to the window text, so two copies of the
    // program with the same title find each other here.
    WriteLogLine("ソフトの二重起動検査... ");
    if (FindWindowA(settings.className, nullptr) != nullptr) {
        if (!settings.doubleStartAllowed) {
            WriteLogLine("二重起動されています、ソフトを終了します\n");
            state.quitFlag = 1;
            return -1;
        }
        WriteLogLine("二重起動されていますが続行します\n");
    } else {
        WriteLogLine("二重起動はされていませんでした\n");
    }

    if (settings.menuInUse) {
        state.menuItemCount = 0;
        CollectMenuItems(settings.menuHandle);
    }

    HWND window = nullptr;
    if (settings.userWindowFlag) {
        window = settings.userWindow;
        state.previousWindowProcedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    } else {
        if (!RegisterMainWindowClass()) return -1;
        window = settings.windowModeFlag ? CreateWindowForWindowMode(screenWidth, screenHeight)
                                         : CreateWindowForFullScreen(screenWidth, screenHeight);
        if (window == nullptr) {
            WriteLogLine("ウインドウの作成に失敗しました\n");
            state.quitFlag = 1;
            return -1;
        }
        WriteLogLine("ウインドウの作成に成功しました\n");
        state.windowHandle = window;
        if (!settings.WindowHiddenFlag) {
            ShowWindow(window, SW_SHOW);
            UpdateWindow(window);
        } else {
            ShowWindow(window, SW_HIDE);
            WriteLogLine("ウインドウを表示します\n");
        }
    }
    state.windowHandle = window;

    state.closeRequested = 0;
    state.windowDestroyed = 0;
    state.activeFlag = 1;
    if (!settings.windowModeFlag) {
        WriteLogLine("カーソルを不可視にしました\n");
        SetCursor(nullptr);
    }
    // The line is written even when the input method stays on.
    WriteLogLine("ＩＭＥを無効にしました\n");
    if (!settings.imeUse) WINNLSEnableIME(window, FALSE);
    if (settings.windowModeFlag) {
        RECT& client = state.ClientScreenRect;
        GetClientRect(window, &client);
        ClientToScreen(window, reinterpret_cast<POINT*>(&client.left));
        ClientToScreen(window, reinterpret_cast<POINT*>(&client.right));
    }
    state.codePageSelector = GetOEMCP() == 949 ? 2 : 1;
    SetMouseCursorVisible(state.cursorVisibleSetting);
    state.closeState = 0;
    if (settings.userWindowFlag) return 0;
    if (!settings.WindowHiddenFlag) {
        BringWindowToTop(window);
        ApplyWindowSizeAndPosition();
    }
    state.creatingFlag = 0;
    return 0;
}
