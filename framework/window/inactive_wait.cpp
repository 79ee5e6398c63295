// The gate that drawing and input functions pass first: while the main
// window is inactive, keep pumping until it is active again.
#include "framework/window/main_window.h"

void WaitWhileInactive() {
    const MainWindowState& state = MainWindow;
    const MainWindowSettings& settings = state.settings;
    if (state.paintingFlag == 1 || state.activeFlag || settings.userWindowFlag || settings.noWindowFlag) return;
    // Without a window nothing could ever make it active: the wait would not
    // end.
    if (state.windowHandle == nullptr) return;
    if (settings.runWhenInactive && settings.windowModeFlag) return;
    while (ProcessWindowMessages() == 0 && state.activeFlag != 1) {
    }
}
