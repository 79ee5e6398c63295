// The main window's window procedure: the window's messages become the
// framework's state.
#include "framework/window/dropped_files.h"
#include "framework/textinput/input_char_buffer.h"
#include "framework/base/log.h"
#include "framework/window/main_window.h"
#include "framework/window/menus.h"
#include "framework/window/mouse.h"
#include "framework/network/sockets.h"
#include "framework/textinput/text_input.h"
#include "framework/window/tool_bar.h"
#include "framework/window/window_mode.h"
#include "framework/window/window_procedure_parts.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/sound/music.h"

namespace {

// The MIDI device's notification message.
constexpr UINT MciNotifyMessage = 0x3B9;

// While the cursor is to be hidden, every mouse message hides it again, so
// that nothing the system does over the window brings it back.
void HideCursorWhileHidden() {
    if (MainWindow.cursorAppliedState != 0) return;
    SetCursor(nullptr);
    while (ShowCursor(FALSE) >= 0) {
    }
}

// Control characters that text input takes; the others are dropped.
bool IsKeptControlCharacter(WPARAM character) {
    switch (character) {
        case 0x01: case 0x03: case 0x08: case 0x09: case 0x0D: case 0x10: case 0x16: case 0x18: case 0x1B:
            return true;
        default: return false;
    }
}

void PutEditingKeyCode(WPARAM virtualKey) {
    if (IsInputCharBufferFull()) return;
    for (const EditingKeyCode* entry = EditingKeyCodes; entry->virtualKey != 0; ++entry) {
        if (entry->virtualKey == virtualKey) {
            PutInputChar(entry->code);
            return;
        }
    }
}

void HandleCommand(WPARAM wParam) {
    const MainWindowSettings& settings = MainWindow.settings;
    const int command = LOWORD(wParam);
    if (MainWindow.toolBarExists && command >= ToolBarCommandBase) {
        const int index = FindToolBarButtonIndex(command - ToolBarCommandBase);
        if (index != -1 && MainWindow.toolBarButtons[index].type == 0) MainWindow.toolBarButtons[index].clicked = 1;
        return;
    }
    if (!settings.menuInUse) return;
    if (settings.menuCommandRoutine != nullptr) settings.menuCommandRoutine(wParam);
    if (settings.menuItemRoutine != nullptr) {
        char name[MenuItemNameSize] = {};
        GetMenuItemNameById(command, name);
        settings.menuItemRoutine(name, command);
    }
}

void HandleSetCursor(HWND window, LPARAM lParam) {
    if (IsDirect3DPathInUse() && !MainWindow.settings.windowModeFlag && MainWindow.settings.menuInUse) {
        const int hitTest = LOWORD(lParam);
        if ((hitTest == HTMENU || hitTest == HTCAPTION) && MainWindow.menuShowCount < 5) {
            SetDeviceDialogBoxMode(1);
            DrawMenuBar(window);
            ++MainWindow.menuShowCount;
            SetMouseCursorVisible(-1);
        } else if (hitTest != HTNOWHERE && MainWindow.menuShowCount > 0) {
            SetDeviceDialogBoxMode(0);
            MainWindow.menuShowCount = 0;
        }
    }
    HideCursorWhileHidden();
}

}  // namespace

int SetActiveStateCallback(ActiveStateCallbackRoutine routine, void* argument) {
    MainWindow.activeStateCallback = routine;
    MainWindow.activeStateCallbackArgument = argument;
    return 0;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindowState& state = MainWindow;
    const MainWindowSettings& settings = state.settings;
    const bool userWindow = settings.userWindowFlag != 0;

    LRESULT previousResult = 0;
    if (userWindow && state.previousWindowProcedure != nullptr)
        previousResult = state.previousWindowProcedure(window, message, wParam, lParam);
    if (settings.windowProcedureHook != nullptr) settings.windowProcedureHook(window, message, wParam, lParam);

    switch (message) {
        case WM_CREATE:
            if (settings.windowRegion != nullptr) SetWindowRgn(window, settings.windowRegion, FALSE);
            break;

        case WM_DESTROY:
            if (userWindow) break;
            WriteLogLine("ウインドウが破棄されようとしています\n");
            state.windowDestroyed = 1;
            if (!settings.noQuitOnDestroy) PostQuitMessage(0);
            state.quitFlag = 1;
            WriteLogLine("ソフトを終了する準備が整いました\n");
            break;

        case WM_MOVE:
            GetWindowRect(window, &state.MainWindowRect);
            if (settings.windowModeFlag && !state.WindowModeChanging) OnMainWindowMove(lParam);
            break;

        case WM_SIZE:
            GetWindowRect(window, &state.MainWindowRect);
            if (wParam == SIZE_MAXIMIZED) {
                if (settings.UserModeSwitchEnabled == 1 && !state.WindowModeChanging && !state.creatingFlag &&
                    settings.windowModeFlag == 1)
                    state.modeSwitchRequest = 1;
            } else {
                ApplyWindowSizeAndPosition();
            }
            if (state.toolBarExists) SendMessageA(state.toolBarWindow, WM_SIZE, wParam, lParam);
            break;

        case WM_ACTIVATE: HandleActivationChange(window, wParam); break;

        case WM_PAINT: HandlePaint(window); break;

        case WM_CLOSE:
            if (userWindow) break;
            WriteLogLine("ウインドウを閉じようとしています\n");
            if (!settings.keepWindowOnClose || state.closeState == 1) DestroyWindow(window);
            if (state.closeState == 0) state.closeState = 4;
            return 0;

        case WM_ACTIVATEAPP:
            if (wParam == 0) HandleActivationChange(window, wParam);
            break;

        case WM_SETCURSOR: HandleSetCursor(window, lParam); break;

        case WM_DISPLAYCHANGE: HandleDisplayChange(window, wParam, lParam); break;

        case WM_NCHITTEST:
            if (IsDirect3DPathInUse() && !settings.windowModeFlag && HIWORD(lParam) < 8) return HTMENU;
            break;

        case WM_KEYDOWN: PutEditingKeyCode(wParam); break;

        case WM_CHAR:
            // Enter typed with Ctrl gives a line feed; text input knows only
            // the carriage return.
            if (wParam == 0x0A)
                PutInputChar(0x0D);
            else if (wParam >= 0x20 || IsKeptControlCharacter(wParam))
                PutInputChar(static_cast<int>(wParam));
            break;

        case WM_SYSCHAR:
            if (LOBYTE(wParam) == 0x0D && settings.UserModeSwitchEnabled) {
                state.modeSwitchRequest = 1;
                return 0;
            }
            break;

        case WM_IME_STARTCOMPOSITION:
        case WM_IME_ENDCOMPOSITION:
        case WM_IME_COMPOSITION:
        case WM_IME_SETCONTEXT:
        case WM_IME_NOTIFY: return ImeMessage(window, message, wParam, lParam);

        case WM_COMMAND: HandleCommand(wParam); break;

        case WM_SYSCOMMAND:
            if (wParam == SC_KEYMENU && state.systemKeyLock) return 0;
            // The screen saver and the monitor's power saving would hide the
            // game; refuse them.
            if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 1;
            break;

        case WM_LBUTTONDOWN:
            RecordMouseClick(1);
            HideCursorWhileHidden();
            break;
        case WM_RBUTTONDOWN:
            RecordMouseClick(2);
            HideCursorWhileHidden();
            break;
        case WM_MBUTTONDOWN:
            RecordMouseClick(4);
            HideCursorWhileHidden();
            break;
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: HideCursorWhileHidden(); break;

        case WM_SIZING:
            HandleSizing(window, wParam, reinterpret_cast<RECT*>(lParam));
            GetWindowRect(window, &state.MainWindowRect);
            break;

        case WM_MOVING:
            GetWindowRect(window, &state.MainWindowRect);
            // A full-screen window stays where it is.
            if (!settings.windowModeFlag) *reinterpret_cast<RECT*>(lParam) = state.MainWindowRect;
            break;

        case WM_DROPFILES: TakeDroppedFiles(reinterpret_cast<HDROP>(wParam), DragQueryFileA, DragFinish); break;

        case MciNotifyMessage: HandleMciNotify(); break;

        case SocketNotifyMessage: return HandleSocketMessage(lParam, wParam);

        default: break;
    }
    return userWindow ? previousResult : DefWindowProcA(window, message, wParam, lParam);
}
