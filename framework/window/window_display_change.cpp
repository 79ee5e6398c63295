// WM_DISPLAYCHANGE: a desktop mode that the screen cannot live with ends the
// program through its own WM_CLOSE.
#include "framework/base/log.h"
#include "framework/window/main_window_state.h"
#include "framework/window/window_procedure_parts.h"
#include "framework/graphics/screen/screen_mode_change.h"
#include "framework/sound/movie/movie_playback.h"

void HandleDisplayChange(HWND window, WPARAM wParam, LPARAM lParam) {
    MainWindowState& state = MainWindow;
    if (!state.settings.windowModeFlag || state.WindowModeChanging == 1) {
        state.DisplayChangeSeen = 1;
        return;
    }
    int screenWidth = 0, screenHeight = 0, screenBits = 0;
    GetScreenModeInfo(&screenWidth, &screenHeight, &screenBits);
    const int bits = static_cast<int>(wParam);
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    if (bits == screenBits && width == screenWidth && height == screenHeight) {
        state.DisplayChangeSeen = 1;
        return;
    }
    const bool fatal = !IsGraphicsRestoreCallbackSet() || bits == 24 || (bits != screenBits && bits == 8) ||
                       width < screenWidth || height < screenHeight;
    if (fatal) {
        WriteLogLine("復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します\n");
        WriteLogLine("またはスクリーンが小さすぎるためか色ビット数の違いが大きいためか終了します\n");
        if (!state.closeRequested) {
            state.closeRequested = 1;
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
        return;
    }
    ResumeSystemPausedMovies();
    state.DisplayChangeSeen = 1;
}
