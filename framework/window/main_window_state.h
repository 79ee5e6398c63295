// The window side of the framework core: one record per process, holding the
// main window, its state flags and rectangles, the menu, tool bar, mouse and
// dropped-file records, and the pre-start settings that the application makes
// before the framework starts and that survive the reset at window creation.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi.h"
#include "platform/platform.h"
#include "platform/user/user.h"
#include "platform/win_types.h"

// Sizes of the fixed tables.
constexpr int WindowTextBufferSize = 256;  // 255 characters and the terminator
constexpr int MenuItemTableSize = 128;
constexpr int MenuItemNameSize = 128;
constexpr int ToolBarButtonTableSize = 64;
constexpr int MouseClickLogSize = 32;
constexpr int DroppedFileListSize = 1000;
constexpr int ExtraWindowTableSize = 100;

// Command IDs from this one up are tool-bar buttons (button ID = command - base).
constexpr int ToolBarCommandBase = 0x500;

struct MenuItemRecord {
    HMENU menu;         // the menu that holds the item
    uint16_t position;  // the item's position in that menu
    uint16_t id;        // its command ID
    char name[MenuItemNameSize];
};

struct ToolBarButtonRecord {
    int id;
    int image;
    int type;  // 0 push button, 3 separator
    int state;
    int clicked;  // set when the push button's command arrives
};

struct MouseClickRecord {
    int button;  // 1 left, 2 right, 4 middle
    int x;
    int y;
};

struct WindowSizeRequest {
    int width;
    int height;
    int set;
};

struct WindowPositionRequest {
    int x;
    int y;
    int set;
};

struct DesktopModeRecord {
    int width;
    int height;
    int colorBits;
};

typedef void (*ActiveStateCallbackRoutine)(int active, void* argument);
typedef void (*WindowModeChangeRoutine)(void* argument);
typedef LRESULT (*WindowProcedureHookRoutine)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
typedef void (*MenuCommandRoutine)(WPARAM command);
typedef void (*MenuItemRoutine)(const char* itemName, int itemId);

// Made by setter calls before the framework starts; window creation keeps them.
struct MainWindowSettings {
    int windowModeFlag;  // nonzero window mode, 0 full screen
    char windowText[WindowTextBufferSize];
    char className[WindowTextBufferSize];
    int WindowStyleIndex;  // row of the window style tables, 0 to 10
    WORD iconId;           // 0 stands for 32512

    HMENU menuHandle;
    int menuInUse;
    int menuHidden;       // after SetMenuDisplay with 0
    int menuAlwaysShown;  // the menu shows in full screen too
    MenuCommandRoutine menuCommandRoutine;
    MenuItemRoutine menuItemRoutine;

    int UserModeSwitchEnabled;
    int WindowSizeChangeable;
    int WindowHiddenFlag;
    int LayeredWindowFlag;
    int FreeWindowSizeFlag;
    WindowSizeRequest RequestedWindowSize;
    WindowPositionRequest RequestedWindowPosition;
    double WindowScaleRateX;  // 0 or less reads as 1.0
    double WindowScaleRateY;

    int doubleStartAllowed;
    int userWindowFlag;  // attach to the application's own window
    HWND userWindow;
    int noWindowFlag;  // make no window at all
    int imeUse;        // leave the input method enabled

    HRGN windowRegion;
    int backgroundRed, backgroundGreen, backgroundBlue, backgroundColorSet;
    int keepWindowOnClose;
    int noQuitOnDestroy;
    WindowProcedureHookRoutine windowProcedureHook;

    HACCEL acceleratorTable;
    int runWhenInactive;
    int clipCursor;
    WindowModeChangeRoutine windowModeChangeRoutine;
    void* windowModeChangeArgument;
    HWND modelessDialog;
    HWND extraWindows[ExtraWindowTableSize];
    int extraWindowCount;
};

struct MainWindowState {
    HWND windowHandle;  // null before creation and after DestroyMainWindow
    HINSTANCE instanceHandle;
    DWORD mainThreadId;  // the pump loops only on this thread
    int activeFlag;
    int closeRequested;  // the framework posted WM_CLOSE to its own window
    int quitFlag;
    int windowDestroyed;
    int closeState;  // 0 running, 4 after the first WM_CLOSE, 1 framework ending
    int creatingFlag;
    int cursorVisibleSetting;
    int cursorAppliedState;  // the visibility last applied
    RECT ClientScreenRect;
    int WindowFrameTopOffset;
    DesktopModeRecord DesktopMode;
    void* layeredWindowEntry;  // UpdateLayeredWindow, or null
    int codePageSelector;      // 2 for code page 949, else 1
    WNDPROC previousWindowProcedure;

    ActiveStateCallbackRoutine activeStateCallback;
    void* activeStateCallbackArgument;

    RECT MainWindowRect;
    int paintingFlag;
    int modeSwitchRequest;
    int DisplayChangeSeen;
    int WindowModeChanging;
    int WindowShownFlag;
    int cursorClipped;
    int menuShowCount;
    int systemKeyLock;
    HHOOK messageHook;
    int pumpReentryFlag;

    int menuAttached;
    int menuLastShown;
    int menuHoverState;
    MenuItemRecord menuItems[MenuItemTableSize];
    int menuItemCount;

    int toolBarExists;
    HWND toolBarWindow;
    HBITMAP toolBarBitmap;
    ToolBarButtonRecord toolBarButtons[ToolBarButtonTableSize];
    int toolBarButtonCount;

    MouseClickRecord mouseClicks[MouseClickLogSize];
    int mouseClickCount;

    char* droppedFiles[DroppedFileListSize];
    int droppedFileCount;

    MainWindowSettings settings;
};

extern MainWindowState MainWindow;

// Clears the window side for a new window; the pre-start settings stay.
void ResetMainWindowState();

HWND GetMainWindowHandle();
int IsWindowModeOn();
int IsWindowActive();
int IsCloseRequested();
int IsQuitPosted();
int IsMmxAvailable();

// Copies `source` into a buffer of `size` bytes: cut to fit without splitting
// a two-byte character, and always terminated.
void CopyTextBounded(char* destination, size_t size, const char* source);
