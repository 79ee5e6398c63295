// The framework's message pump: called once per frame by the game and by
// every wait inside the framework. While the window is active a call takes at
// most five messages and never sleeps; while it is inactive the call stays,
// sleeping a little on each pass, until the window is active again or the
// program ends.
#include "framework/input/joypad_vibration.h"
#include "framework/input/keyboard_joypad_state.h"
#include "framework/window/main_window.h"
#include "framework/window/menus.h"
#include "framework/network/sockets.h"
#include "framework/textinput/text_input.h"
#include "framework/window/window_mode.h"
#include "framework/sound/movie/movie_playback.h"
#include "framework/sound/music.h"

namespace {

constexpr int MessagesPerCall = 5;

bool TakeMessage(MSG& message) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
        return PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE;
    return PeekMessageA(&message, HWND_THREAD_MESSAGES, 0, 0, PM_REMOVE) ||
           PeekMessageA(&message, MainWindow.windowHandle, 0, 0, PM_REMOVE);
}

// The modeless dialog's and the extra windows' turn after each message.
void ServeOtherWindows() {
    const MainWindowSettings& settings = MainWindow.settings;
    MSG message;
    if (settings.modelessDialog != nullptr && PeekMessageA(&message, settings.modelessDialog, 0, 0, PM_REMOVE))
        IsDialogMessageA(settings.modelessDialog, &message);
    const int count = settings.extraWindowCount < ExtraWindowTableSize ? settings.extraWindowCount
                                                                        : ExtraWindowTableSize;
    for (int i = 0; i < count; ++i) {
        if (PeekMessageA(&message, settings.extraWindows[i], 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

bool Sleeping() { return !MainWindow.activeFlag && !MainWindow.settings.runWhenInactive; }

void PumpLoop(bool mainThread) {
    MainWindowState& state = MainWindow;
    const MainWindowSettings& settings = state.settings;
    int dispatched = 0;
    int passDone = 0;
    for (;;) {
        if ((state.closeRequested || state.activeFlag || settings.runWhenInactive) &&
            (passDone == 1 || state.quitFlag))
            return;
        passDone = 1;
        if (Sleeping()) Sleep(1);

        for (;;) {
            MSG message;
            const bool taken = TakeMessage(message);
            if (taken) {
                if (settings.modelessDialog != nullptr && IsDialogMessageA(settings.modelessDialog, &message)) {
                    passDone = 0;
                } else {
                    if (message.message == WM_ACTIVATEAPP && settings.windowModeFlag)
                        state.activeFlag = LOWORD(message.wParam);
                    if (state.quitFlag == 1) return;
                    if (message.message == WM_QUIT) state.quitFlag = 1;
                    if (!TranslateAcceleratorA(state.windowHandle, settings.acceleratorTable, &message)) {
                        TranslateMessage(&message);
                        DispatchMessageA(&message);
                    }
                    if (++dispatched == MessagesPerCall) {
                        dispatched = 0;
                        passDone = 1;
                        break;
                    }
                    passDone = 0;
                }
            }
            ServeOtherWindows();
            if (!taken) break;
        }

        if (Sleeping()) {
            ProcessNetworkMessages(1);
            RefreshAllMovieFrames();
            Sleep(1);
        }
        if (state.quitFlag == 1 || !mainThread) return;
    }
}

void RunPolls() {
    PollMusicPlayState();
    RefreshKeyboardState();
    TickJoypadVibration();
    ProcessNetworkMessages(1);
    MainWindow.pumpReentryFlag = 1;
    ProcessKeyInput();
    MainWindow.pumpReentryFlag = 0;
}

int Result() { return MainWindow.quitFlag == 1 ? -1 : 0; }

}  // namespace

int ProcessWindowMessages() {
    MainWindowState& state = MainWindow;
    const MainWindowSettings& settings = state.settings;
    if (state.pumpReentryFlag == 1) return 0;

    if (settings.clipCursor && state.activeFlag && settings.windowModeFlag && !state.cursorClipped) {
        POINT cursor{};
        GetCursorPos(&cursor);
        const RECT& client = state.ClientScreenRect;
        if (client.left < cursor.x && cursor.x <= client.right && client.top < cursor.y && cursor.y <= client.bottom) {
            state.cursorClipped = 1;
            ClipCursor(&client);
        }
    }

    if (!settings.noWindowFlag) {
        if (state.windowHandle == nullptr) return Result();
        if (!settings.userWindowFlag) {
            const bool mainThread = GetCurrentThreadId() == state.mainThreadId;
            if (state.modeSwitchRequest == 1 && settings.UserModeSwitchEnabled == 1 && mainThread) {
                state.modeSwitchRequest = 0;
                ChangeWindowMode(settings.windowModeFlag == 0 ? 1 : 0);
                if (settings.windowModeChangeRoutine != nullptr)
                    settings.windowModeChangeRoutine(settings.windowModeChangeArgument);
            }
            PumpLoop(mainThread);
            if (mainThread && !settings.menuAlwaysShown) UpdateFullScreenMenu();
        }
    }
    RunPolls();
    return Result();
}
