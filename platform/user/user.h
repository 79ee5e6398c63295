// Windows and messages: window classes and windows, per-thread message
// queues (post, send, peek, get, wait, translate, dispatch), the default window
// procedure, timers, activation, geometry and styles, system metrics and
// parameters, display settings (the mode list and mode switches), the cursor
// and icons, menus, the clipboard, the global memory blocks that carry
// clipboard data, and message boxes (written to the standard error stream).
//
// Stands in for the window-manager interface the framework calls, with the
// names and numeric values the framework expects. Left out: everything the
// framework does not call (child windows, dialogs and accelerator tables that
// can be created, hooks that can be installed, several displays, message
// boxes shown on the display, ...).
// Built on plain records and per-thread queues, with no host dependency: when
// there is a display, each window is mirrored onto it through the host's
// video adapter (platform/host/host_video.h) at every message pump, and the
// display's events become the messages below; without one, windows are
// records and nothing is shown.
// What the simulated desktop looks like comes from the machine profile's
// display part (platform/profile/machine_profile.h).
#pragma once

#include "platform/win_types.h"

typedef WORD ATOM;
typedef HANDLE HACCEL;
typedef HANDLE HHOOK;
typedef HANDLE HRGN;

// Error codes that GetLastError reports after a failed window-system call.
#define ERROR_INVALID_WINDOW_HANDLE 1400u
#define ERROR_INVALID_MENU_HANDLE 1401u
#define ERROR_INVALID_HOOK_HANDLE 1404u
#define ERROR_CANNOT_FIND_WND_CLASS 1407u
#define ERROR_CLASS_ALREADY_EXISTS 1410u
#define ERROR_CLASS_DOES_NOT_EXIST 1411u
#define ERROR_CLASS_HAS_WINDOWS 1412u
#define ERROR_INVALID_INDEX 1413u
#define ERROR_CLIPBOARD_NOT_OPEN 1418u
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814u

typedef LRESULT(CALLBACK* WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
typedef void(CALLBACK* TIMERPROC)(HWND window, UINT message, UINT_PTR timerId, DWORD time);

#define MAKELONG(low, high) \
    ((LONG)(((WORD)((DWORD_PTR)(low)&0xFFFF)) | ((DWORD)((WORD)((DWORD_PTR)(high)&0xFFFF))) << 16))
#define LOWORD(value) ((WORD)(((DWORD_PTR)(value)) & 0xFFFF))
#define HIWORD(value) ((WORD)((((DWORD_PTR)(value)) >> 16) & 0xFFFF))
#define LOBYTE(value) ((BYTE)(((DWORD_PTR)(value)) & 0xFF))
#define MAKEWPARAM(low, high) ((WPARAM)(DWORD)MAKELONG(low, high))
#define MAKELPARAM(low, high) ((LPARAM)(DWORD)MAKELONG(low, high))
#define MAKEINTRESOURCEA(id) ((LPSTR)((ULONG_PTR)((WORD)(id))))

// ---- messages ---------------------------------------------------------------

#define WM_NULL 0x0000u
#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_MOVE 0x0003u
#define WM_SIZE 0x0005u
#define WM_ACTIVATE 0x0006u
#define WM_SETFOCUS 0x0007u
#define WM_KILLFOCUS 0x0008u
#define WM_SETTEXT 0x000Cu
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_QUIT 0x0012u
#define WM_ACTIVATEAPP 0x001Cu
#define WM_SETCURSOR 0x0020u
#define WM_DISPLAYCHANGE 0x007Eu
#define WM_SETICON 0x0080u
#define WM_NCHITTEST 0x0084u
#define WM_KEYFIRST 0x0100u
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_CHAR 0x0102u
#define WM_SYSKEYDOWN 0x0104u
#define WM_SYSKEYUP 0x0105u
#define WM_SYSCHAR 0x0106u
#define WM_KEYLAST 0x0109u
#define WM_IME_STARTCOMPOSITION 0x010Du
#define WM_IME_ENDCOMPOSITION 0x010Eu
#define WM_IME_COMPOSITION 0x010Fu
#define WM_COMMAND 0x0111u
#define WM_SYSCOMMAND 0x0112u
#define WM_TIMER 0x0113u
#define WM_MOUSEFIRST 0x0200u
#define WM_MOUSEMOVE 0x0200u
#define WM_LBUTTONDOWN 0x0201u
#define WM_LBUTTONUP 0x0202u
#define WM_RBUTTONDOWN 0x0204u
#define WM_RBUTTONUP 0x0205u
#define WM_MBUTTONDOWN 0x0207u
#define WM_MBUTTONUP 0x0208u
#define WM_MOUSELAST 0x0209u
#define WM_SIZING 0x0214u
#define WM_MOVING 0x0216u
#define WM_DROPFILES 0x0233u
#define WM_IME_SETCONTEXT 0x0281u
#define WM_IME_NOTIFY 0x0282u
#define WM_USER 0x0400u

// WM_ACTIVATE: low word of wParam; the high word is nonzero for a minimised window.
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

// WM_SIZE wParam.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

// WM_SIZING wParam: the edge being dragged.
#define WMSZ_LEFT 1
#define WMSZ_RIGHT 2
#define WMSZ_TOP 3
#define WMSZ_TOPLEFT 4
#define WMSZ_TOPRIGHT 5
#define WMSZ_BOTTOM 6
#define WMSZ_BOTTOMLEFT 7
#define WMSZ_BOTTOMRIGHT 8

// WM_SYSCOMMAND wParam (the low four bits are the system's own).
#define SC_MINIMIZE 0xF020u
#define SC_MAXIMIZE 0xF030u
#define SC_CLOSE 0xF060u
#define SC_KEYMENU 0xF100u
#define SC_RESTORE 0xF120u
#define SC_SCREENSAVE 0xF140u
#define SC_MONITORPOWER 0xF170u

// WM_NCHITTEST results (also the low word of WM_SETCURSOR's lParam).
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
#define HTMENU 5
#define HTBORDER 18

// Mouse message wParam: buttons and keys held.
#define MK_LBUTTON 0x0001u
#define MK_RBUTTON 0x0002u
#define MK_SHIFT 0x0004u
#define MK_CONTROL 0x0008u
#define MK_MBUTTON 0x0010u

// WM_SETICON wParam.
#define ICON_SMALL 0
#define ICON_BIG 1

// Virtual keys (wParam of the key messages). Letters and digits are their
// upper-case ASCII codes.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_KANA 0x15
#define VK_KANJI 0x19
#define VK_ESCAPE 0x1B
#define VK_CONVERT 0x1C
#define VK_NONCONVERT 0x1D
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE
#define VK_OEM_102 0xE2

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

// PeekMessageA flags.
#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u
#define PM_NOYIELD 0x0002u
// The window filter of PeekMessageA and GetMessageA that takes only the
// messages posted to the thread itself (those without a window).
#define HWND_THREAD_MESSAGES ((HWND)(LONG_PTR)-1)

// Sent messages are handled before posted ones; WM_QUIT comes when no posted
// message is left, then WM_PAINT for a window with something to repaint, then
// WM_TIMER for a timer that is due. WM_PAINT stays until the window is
// validated (BeginPaint, or DefWindowProcA of WM_PAINT); WM_TIMER is taken by
// PM_REMOVE and comes again after the timer's period.
BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits for a message: 0 for WM_QUIT, -1 for a window filter that is no
// window, else nonzero.
BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
// Posts WM_CHAR (or WM_SYSCHAR) for the keys that type a control character:
// Backspace, Tab, Enter (Ctrl+Enter gives a line feed), Escape and Ctrl with a
// letter (1 to 26), Alt+Enter as WM_SYSCHAR. Printable text arrives from the
// host's text input as WM_CHAR messages of its own, one per Shift-JIS byte.
BOOL WINAPI TranslateMessage(const MSG* message);
LRESULT WINAPI DispatchMessageA(const MSG* message);
// A null window posts to the calling thread.
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// To a window of another thread the message waits until that thread takes
// messages; meanwhile messages sent to the calling thread are handled.
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int exitCode);

// What wakes MsgWaitForMultipleObjects from the queue. Any other input bit
// (keys, the mouse) counts as posted; painting wakes nothing.
#define QS_POSTMESSAGE 0x0008u
#define QS_TIMER 0x0010u
#define QS_SENDMESSAGE 0x0040u
#define QS_ALLINPUT 0x04FFu

// Waits for any (or, with waitAll, every one) of the events and threads and,
// as one more source, for what the wake mask asks of the calling thread's
// queue: a message posted since the thread last looked at its queue, a
// message sent from another thread, a timer that is due. Returns
// WAIT_OBJECT_0 + i for object i and WAIT_OBJECT_0 + count for the queue
// (with waitAll, WAIT_OBJECT_0 once all of them are there), WAIT_TIMEOUT, or
// WAIT_FAILED. Nothing is taken from the queue. At most
// MAXIMUM_WAIT_OBJECTS - 1 objects.
DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                       DWORD wakeMask);
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// No dialogs and no accelerator tables exist here: both take no message.
BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message);
int WINAPI TranslateAcceleratorA(HWND window, HACCEL table, LPMSG message);
// No hooks can be installed here: every hook handle is unknown.
BOOL WINAPI UnhookWindowsHookEx(HHOOK hook);

// ---- timers -------------------------------------------------------------------

// Periods are measured with timeGetTime (so a manual clock steps them) and
// kept between USER_TIMER_MINIMUM and USER_TIMER_MAXIMUM.
#define USER_TIMER_MINIMUM 0x0000000Au
#define USER_TIMER_MAXIMUM 0x7FFFFFFFu

// With a null window the timer belongs to the calling thread and gets a new
// identifier, which is returned.
UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR timerId, UINT elapse, TIMERPROC procedure);
BOOL WINAPI KillTimer(HWND window, UINT_PTR timerId);

// ---- window classes and windows ------------------------------------------------

#define CS_VREDRAW 0x0001u
#define CS_HREDRAW 0x0002u

#define WS_OVERLAPPED 0x00000000u
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_MINIMIZE 0x20000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_MAXIMIZE 0x01000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_DLGFRAME 0x00400000u
#define WS_SYSMENU 0x00080000u
#define WS_THICKFRAME 0x00040000u
#define WS_MINIMIZEBOX 0x00020000u
#define WS_MAXIMIZEBOX 0x00010000u

#define WS_EX_DLGMODALFRAME 0x00000001u
#define WS_EX_TOPMOST 0x00000008u
#define WS_EX_TRANSPARENT 0x00000020u
#define WS_EX_TOOLWINDOW 0x00000080u
#define WS_EX_WINDOWEDGE 0x00000100u
#define WS_EX_CLIENTEDGE 0x00000200u
#define WS_EX_STATICEDGE 0x00020000u
#define WS_EX_LAYERED 0x00080000u

typedef struct tagWNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXA;

// What WM_CREATE's lParam points to.
typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA;

// cbSize is sizeof(WNDCLASSEXA), or 48, the record's size in the 32-bit
// layout. Class names compare without regard to letter case.
ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass);
// Fails while windows of the class exist.
BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance);

// Top-level windows only: a parent is ignored. WM_CREATE is sent before the
// call returns (a result of -1 fails the creation); WS_VISIBLE shows the
// window as ShowWindow(SW_SHOW) would.
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID parameter);
// From the window's own thread only. Hides the window (which deactivates it
// when it was active), ends its timers, sends WM_DESTROY and drops the
// messages still posted to it.
BOOL WINAPI DestroyWindow(HWND window);
// Sends WM_SETTEXT; the text is Shift-JIS, shown to the host as UTF-8.
BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
// Finds a top-level window of this process by class name and, when given,
// window text; failing that, a window of the class in another process of this
// program for the same user (seen through a per-user lock named after the
// class; the window text is not known there). Such a window's handle only
// tells that it exists: messages to it go nowhere.
HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName);
// The region is recorded; it does not shape the window.
int WINAPI SetWindowRgn(HWND window, HRGN region, BOOL redraw);

#define GWL_WNDPROC (-4)
#define GWLP_WNDPROC (-4)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)

// The styles. A window procedure does not fit in a LONG on this build, so the
// 32-bit calls refuse GWL_WNDPROC (ERROR_INVALID_INDEX); use the pointer-sized
// calls for it.
LONG WINAPI GetWindowLongA(HWND window, int index);
LONG WINAPI SetWindowLongA(HWND window, int index, LONG value);
LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index);
LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value);

// ---- geometry, showing and activation ---------------------------------------------

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define SWP_NOSIZE 0x0001u
#define SWP_NOMOVE 0x0002u
#define SWP_NOZORDER 0x0004u
#define SWP_NOREDRAW 0x0008u
#define SWP_NOACTIVATE 0x0010u
#define SWP_FRAMECHANGED 0x0020u
#define SWP_SHOWWINDOW 0x0040u
#define SWP_HIDEWINDOW 0x0080u

#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)(LONG_PTR)-1)
#define HWND_NOTOPMOST ((HWND)(LONG_PTR)-2)

// The window rectangle that has the given client rectangle: frame, caption
// (small for WS_EX_TOOLWINDOW) and menu bar from the metrics of the profile.
BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
BOOL WINAPI ClientToScreen(HWND window, LPPOINT point);
// Sends WM_SIZE when the client size (or the minimised or maximised state)
// changed and WM_MOVE when the client area moved. Without SWP_NOACTIVATE a
// visible window is activated.
BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                         UINT flags);
BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// Returns whether the window was visible before. Showing activates the window
// (WM_ACTIVATEAPP when the program was inactive, WM_ACTIVATE, WM_SETFOCUS)
// except for the no-activate commands; hiding or minimising the active window
// leaves the program inactive.
BOOL WINAPI ShowWindow(HWND window, int command);
// Sends WM_PAINT at once when part of the window waits to be repainted.
BOOL WINAPI UpdateWindow(HWND window);
BOOL WINAPI BringWindowToTop(HWND window);
HWND WINAPI SetActiveWindow(HWND window);
BOOL WINAPI SetForegroundWindow(HWND window);
// The active window while this program is in the foreground, else null.
HWND WINAPI GetForegroundWindow(void);
// The desktop: a handle that names no window record, so that calls which
// only need some window to be named (a sound object's cooperative level)
// have one; window calls on it fail as for any unknown window.
HWND WINAPI GetDesktopWindow(void);
DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId);
// One input state is shared by every thread here, so attaching changes
// nothing; it fails, as it does elsewhere, for a thread with itself.
BOOL WINAPI AttachThreadInput(DWORD attachingThread, DWORD toThread, BOOL attach);

// ---- system metrics and parameters ---------------------------------------------

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CYMENU 15
#define SM_CXFRAME 32
#define SM_CYFRAME 33
#define SM_CXEDGE 45
#define SM_CYEDGE 46
#define SM_CYSMCAPTION 51

int WINAPI GetSystemMetrics(int index);

#define SPI_SETSCREENSAVEACTIVE 17u
#define SPI_SETSCREENSAVERRUNNING 97u
#define SPI_GETFOREGROUNDLOCKTIMEOUT 0x2000u
#define SPI_SETFOREGROUNDLOCKTIMEOUT 0x2001u
#define SPIF_UPDATEINIFILE 0x0001u
#define SPIF_SENDCHANGE 0x0002u

// The screen saver switch reaches the host (whether the display may blank);
// the foreground lock time-out is recorded and read back (the foreground
// time-out value travels in the pointer argument, as a number).
BOOL WINAPI SystemParametersInfoA(UINT action, UINT parameter, LPVOID value, UINT winIni);

// ---- cursor and icons ------------------------------------------------------------

#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)

// The stock arrow; the program module has no cursor resources.
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name);
// The stock application icon for a null instance; for the program's module,
// an icon that the platform has been given for that resource id, else null.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name);
// The cursor shows while the display count is 0 or more and a cursor is set.
HCURSOR WINAPI SetCursor(HCURSOR cursor);
int WINAPI ShowCursor(BOOL show);
// In screen coordinates: where the host last saw the mouse.
BOOL WINAPI GetCursorPos(LPPOINT point);
// Recorded; the host's pointer is not confined.
BOOL WINAPI ClipCursor(const RECT* rect);

// ---- menus ----------------------------------------------------------------------

#define MF_STRING 0x0000u
#define MF_GRAYED 0x0001u
#define MF_DISABLED 0x0002u
#define MF_CHECKED 0x0008u
#define MF_POPUP 0x0010u
#define MF_BYCOMMAND 0x0000u
#define MF_BYPOSITION 0x0400u
#define MF_SEPARATOR 0x0800u

#define MFT_STRING 0x0000u
#define MFT_SEPARATOR 0x0800u

#define MIIM_STATE 0x0001u
#define MIIM_ID 0x0002u
#define MIIM_SUBMENU 0x0004u
#define MIIM_TYPE 0x0010u
#define MIIM_DATA 0x0020u
#define MIIM_STRING 0x0040u
#define MIIM_FTYPE 0x0100u

typedef struct tagMENUITEMINFOA {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
} MENUITEMINFOA, *LPMENUITEMINFOA;

// Menus are records for the application that gives the window a menu; the
// host shows no menu bar, but an attached menu takes its height from the
// client area as a menu bar would.
HMENU WINAPI CreateMenu(void);
HMENU WINAPI CreatePopupMenu(void);
// MF_STRING, MF_SEPARATOR or MF_POPUP (the item id is then the submenu).
BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR itemId, LPCSTR text);
// Destroys the submenus too.
BOOL WINAPI DestroyMenu(HMENU menu);
BOOL WINAPI SetMenu(HWND window, HMENU menu);
BOOL WINAPI DrawMenuBar(HWND window);
int WINAPI GetMenuItemCount(HMENU menu);
// cbSize is sizeof(MENUITEMINFOA), or 48 or 44, the 32-bit layouts. The text
// is copied into dwTypeData up to cch - 1 bytes and terminated; cch then
// holds the text's length.
BOOL WINAPI GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info);

// ---- clipboard and global memory -------------------------------------------------

#define CF_TEXT 1u

// CF_TEXT is Shift-JIS with carriage return and line feed; with a display it
// is the host's clipboard, converted from and to UTF-8 with line feeds.
BOOL WINAPI OpenClipboard(HWND owner);
BOOL WINAPI CloseClipboard(void);
BOOL WINAPI EmptyClipboard(void);
BOOL WINAPI IsClipboardFormatAvailable(UINT format);
// The block belongs to the clipboard.
HANDLE WINAPI GetClipboardData(UINT format);
// The clipboard takes the block (a GlobalAlloc block).
HANDLE WINAPI SetClipboardData(UINT format, HANDLE data);

#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u

// Global memory blocks, kept here because the clipboard hands them over. A
// block's handle is its address, fixed or not; GlobalSize is the size asked for.
HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
HGLOBAL WINAPI GlobalFree(HGLOBAL memory);
LPVOID WINAPI GlobalLock(HGLOBAL memory);
BOOL WINAPI GlobalUnlock(HGLOBAL memory);
SIZE_T WINAPI GlobalSize(HGLOBAL memory);

// ---- memory status and code page ----------------------------------------------------

typedef struct _MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    SIZE_T dwTotalPhys;
    SIZE_T dwAvailPhys;
    SIZE_T dwTotalPageFile;
    SIZE_T dwAvailPageFile;
    SIZE_T dwTotalVirtual;
    SIZE_T dwAvailVirtual;
} MEMORYSTATUS, *LPMEMORYSTATUS;

// As a 32-bit program sees it: every byte count is at most 0xFFFFFFFF and
// the address space is 2 GB.
void WINAPI GlobalMemoryStatus(LPMEMORYSTATUS status);
UINT WINAPI GetOEMCP(void);

// ---- display settings ------------------------------------------------------------------
// The modes come from the machine profile's display part: its list, else
// modes made from the desktop. A switch only records the mode in force: the
// desktop that window placement sees keeps its size. Every switch that
// changes the mode posts WM_DISPLAYCHANGE (wParam the bits per pixel, lParam
// the width in the low and the height in the high word) to every window.

#define ENUM_CURRENT_SETTINGS ((DWORD)-1)
#define ENUM_REGISTRY_SETTINGS ((DWORD)-2)

#define DM_BITSPERPEL 0x00040000u
#define DM_PELSWIDTH 0x00080000u
#define DM_PELSHEIGHT 0x00100000u
#define DM_DISPLAYFREQUENCY 0x00400000u

#define CDS_UPDATEREGISTRY 0x00000001u
#define CDS_TEST 0x00000002u
#define CDS_FULLSCREEN 0x00000004u

#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_RESTART 1
#define DISP_CHANGE_FAILED (-1)
#define DISP_CHANGE_BADMODE (-2)
#define DISP_CHANGE_BADFLAGS (-4)
#define DISP_CHANGE_BADPARAM (-5)

// Only the fields the framework reads and sets.
typedef struct _DEVMODEA {
    WORD dmSize;
    DWORD dmFields;  // which of the fields below a switch takes
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFrequency;
} DEVMODEA, *LPDEVMODEA;

// device: null (the one display). modeNumber: 0 up to the last mode, or
// ENUM_CURRENT_SETTINGS (the mode in force) or ENUM_REGISTRY_SETTINGS (the
// desktop's own mode). FALSE past the end of the list.
BOOL WINAPI EnumDisplaySettingsA(LPCSTR device, DWORD modeNumber, DEVMODEA* mode);
// mode: the fields named in dmFields replace those of the mode in force; null
// returns to the desktop's own mode. A mode not in the list gives
// DISP_CHANGE_BADMODE; CDS_TEST only checks.
LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);

// ---- layered windows ---------------------------------------------------------

typedef struct _BLENDFUNCTION {
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
} BLENDFUNCTION;

#define AC_SRC_OVER 0x00u
#define AC_SRC_ALPHA 0x01u

#define ULW_COLORKEY 0x00000001u
#define ULW_ALPHA 0x00000002u
#define ULW_OPAQUE 0x00000004u

// Sets the look of a WS_EX_LAYERED window from the bitmap selected into the
// memory device context `source` (32-bit pixels, premultiplied when the blend
// takes the source's alpha): `size` pixels from `sourcePoint`, the window moved
// to `destinationPoint` when one is given. Not exported by name: programs look
// it up in "user32" with GetProcAddress, as older systems lack it. FALSE for a
// window that is not layered, a source without a bitmap or a size that does
// not lie inside it. `key` is a colour reference (0x00BBGGRR).
typedef BOOL(WINAPI* UpdateLayeredWindowRoutine)(HWND window, HDC screen, POINT* destinationPoint, SIZE* size,
                                                 HDC source, POINT* sourcePoint, DWORD key, BLENDFUNCTION* blend,
                                                 DWORD flags);

// ---- keyboard state ------------------------------------------------------------------

typedef BYTE* PBYTE;

// The calling thread's key state, 256 bytes indexed by virtual key: 0x80
// while the key is down, 0x01 toggled at each press. It follows the key
// messages the thread has taken from its queue; Shift, Control and Alt
// are down while either side is.
BOOL WINAPI GetKeyboardState(PBYTE keyState);
// 0x8000 (as a SHORT) while the key is down, plus 1 while it is toggled.
SHORT WINAPI GetKeyState(int virtualKey);

// ---- message boxes -------------------------------------------------------------------

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_YESNO 0x00000004u
#define MB_ICONHAND 0x00000010u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONINFORMATION 0x00000040u

#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

// Shows the text to the user and waits for the answer. Without a display
// the box is written to the standard error stream and answered with IDOK
// (IDYES for a yes/no box); a test sink (platform/user/message_box_sink.h)
// takes every box instead while it is installed.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
