// The main window's optional tool bar.
#pragma once

#include "platform/win_types.h"

// Index of the first button with the ID that is not a separator; -1 when
// there is none or no tool bar.
int FindToolBarButtonIndex(int id);
// The tool bar's height, 0 without one.
int GetToolBarHeight();
// 0; -1 without a tool bar.
int DeleteAllToolBarButtons();
// The client area on the screen, moved down below the tool bar. Returns 0.
int GetWindowRectWithToolBar(RECT* rect);
