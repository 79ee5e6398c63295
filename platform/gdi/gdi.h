// Device contexts and brushes: the screen's and a window's device context,
// painting (BeginPaint/EndPaint), device capabilities, stock and solid
// brushes, and filling rectangles.
//
// Stands in for the graphics device interface the framework calls, with the
// names and numeric values the framework expects. Left out: everything the
// framework does not call yet (bitmaps and DIB sections, blits, fonts, pens,
// regions, text).
// Built on the window records of platform/user: each window keeps its client
// area's pixels in memory, which FillRect draws into and the host shows in
// the window's SDL2 window when there is a display. The screen's device
// context draws nowhere.
#pragma once

#include "platform/user/user.h"
#include "platform/win_types.h"

typedef DWORD COLORREF;

#define RGB(red, green, blue) \
    ((COLORREF)(((BYTE)(red)) | (((WORD)((BYTE)(green))) << 8) | (((DWORD)((BYTE)(blue))) << 16)))
#define GetRValue(color) ((BYTE)(color))
#define GetGValue(color) ((BYTE)(((WORD)(color)) >> 8))
#define GetBValue(color) ((BYTE)((color) >> 16))

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *LPPAINTSTRUCT;

// A null window gives the screen's device context.
HDC WINAPI GetDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC deviceContext);
// Takes what waits to be repainted (rcPaint, client coordinates) and clears
// it; drawing through the returned context stays inside rcPaint.
HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint);

#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14

// The desktop's size and colour depth (one plane), for any device context.
int WINAPI GetDeviceCaps(HDC deviceContext, int index);

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH

HGDIOBJ WINAPI GetStockObject(int index);
HBRUSH WINAPI CreateSolidBrush(COLORREF color);
// Stock objects stay; deleting one succeeds and changes nothing.
BOOL WINAPI DeleteObject(HGDIOBJ object);
// Fills the rectangle (right and bottom excluded), clipped to the client area.
int WINAPI FillRect(HDC deviceContext, const RECT* rect, HBRUSH brush);
