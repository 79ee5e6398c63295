#include "framework/window/window_style.h"

#include "framework/window/main_window_state.h"

const WindowStyleRow WindowStyleTable[WindowStyleRowCount] = {
    {0x80CA0000u, 0x300u, 0x80000000u, 0x8u},  // caption, system menu, minimise box
    {0x80080000u, 0x300u, 0x80000000u, 0x8u},
    {0x80080000u, 0x000u, 0x80000000u, 0x8u},
    {0x80CA0000u, 0x080u, 0x80000000u, 0x8u},  // tool windows
    {0x80080000u, 0x080u, 0x80000000u, 0x8u},
    {0x80C80000u, 0x100u, 0x80000000u, 0x8u},
    {0x80CA0000u, 0x300u, 0x80000000u, 0x8u},
    {0x80CB0000u, 0x300u, 0x80000000u, 0x8u},  // with the maximise box
    {0x81CB0000u, 0x300u, 0x80000000u, 0x8u},  // maximised
    {0x80CA0000u, 0x100u, 0x80000000u, 0x8u},
    {0u, 0u, 0u, 0u},
};

const WindowStyleRow& CurrentWindowStyleRow() {
    const int index = MainWindow.settings.WindowStyleIndex;
    // An index outside the table would read past it.
    return WindowStyleTable[index >= 0 && index < WindowStyleRowCount ? index : 0];
}

void GetWindowModeStyles(DWORD* style, DWORD* exStyle) {
    const MainWindowSettings& settings = MainWindow.settings;
    const WindowStyleRow& row = CurrentWindowStyleRow();
    DWORD windowStyle = row.windowModeStyle;
    DWORD extended = row.windowModeExStyle;
    // Or-ed, not added: rows 7 and 8 already carry the maximise box, and an
    // added bit there would carry into the neighbouring styles.
    if (settings.WindowHiddenFlag) extended |= WS_EX_TRANSPARENT;
    if (settings.LayeredWindowFlag) extended |= WS_EX_LAYERED;
    if (settings.UserModeSwitchEnabled) windowStyle |= WS_MAXIMIZEBOX;
    if (MainWindow.WindowShownFlag) windowStyle |= WS_VISIBLE;
    if (settings.WindowSizeChangeable) windowStyle |= WS_THICKFRAME;
    *style = windowStyle;
    *exStyle = extended;
}
