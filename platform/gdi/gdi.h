// Device contexts and brushes: the screen's and a window's device context,
// painting (BeginPaint/EndPaint), device capabilities, stock and solid
// brushes, filling rectangles, 32-bit DIB sections and memory device contexts.
//
// Stands in for the graphics device interface the framework calls, with the
// names and numeric values the framework expects. Left out: everything the
// framework does not call yet (pens, regions, text output).
// Fonts and glyph outlines are built on FreeType, with the face found
// through fontconfig and character codes converted through iconv; a machine
// profile setting swaps in a fixed test glyph source instead.
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

// ---- bitmaps, DIB sections and memory device contexts ------------------------

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // negative: rows top down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO;

#define BI_RGB 0u
#define BI_BITFIELDS 3u
#define DIB_RGB_COLORS 0u
#define SRCCOPY 0x00CC0020u

// Only uncompressed 32-bit DIB sections (BI_RGB, one plane) are made; the
// pixels start cleared and stay until the section is deleted. No file
// mapping can back them: `section` must be null. Null for anything else.
HBITMAP WINAPI CreateDIBSection(HDC deviceContext, const BITMAPINFO* info, UINT usage, void** bits,
                                HANDLE section, DWORD offset);

// What a bitmap is: its size, the bytes of one row (an even count), planes,
// bits per pixel and, for a DIB section, the first row of its pixels as they
// lie in memory.
typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;  // always positive; the rows run as the section was made
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP, *LPBITMAP;

// The description of a DIB section as a BITMAP: with a buffer of at least
// sizeof(BITMAP) bytes it is filled and sizeof(BITMAP) returned; without a
// buffer the size it needs is returned. 0 for any other object or a buffer
// too small.
int WINAPI GetObjectA(HGDIOBJ object, int bufferSize, LPVOID buffer);
// A memory device context (for any device context, or null) holding a
// 1 by 1 stock bitmap until another one is selected.
// Copying a DIB's pixels onto a window's client area: 32-bit BI_RGB, or 16
// and 32-bit BI_BITFIELDS with the red, green and blue masks in the three
// DWORDs after the header (rows bottom up, or top down for a negative
// height). Source coordinates count from the DIB's lower-left corner, for
// top-down DIBs too. SetDIBitsToDevice copies the rectangle as it is from
// the scan lines given (every line of the DIB is expected at once);
// StretchDIBits scales the source rectangle onto the destination by nearest
// pixels with SRCCOPY. Both clip to the client area and return the lines
// copied, 0 on a refusal. The screen's device context takes the call and
// shows nothing.
int WINAPI SetDIBitsToDevice(HDC deviceContext, int destX, int destY, DWORD width, DWORD height, int sourceX,
                             int sourceY, UINT startScan, UINT lineCount, const void* bits, const BITMAPINFO* info,
                             UINT usage);
int WINAPI StretchDIBits(HDC deviceContext, int destX, int destY, int destWidth, int destHeight, int sourceX,
                         int sourceY, int sourceWidth, int sourceHeight, const void* bits, const BITMAPINFO* info,
                         UINT usage, DWORD rop);

HDC WINAPI CreateCompatibleDC(HDC deviceContext);
// Bitmaps and fonts go into memory device contexts: returns the bitmap or
// font selected before (a stock font at first), or null for anything else.
HGDIOBJ WINAPI SelectObject(HDC deviceContext, HGDIOBJ object);
BOOL WINAPI DeleteDC(HDC deviceContext);

// ---- fonts and glyph outlines -------------------------------------------------

#define DEFAULT_CHARSET 1
#define SHIFTJIS_CHARSET 128
#define HANGEUL_CHARSET 129
#define NONANTIALIASED_QUALITY 3
#define FW_NORMAL 400
#define FW_BOLD 700

#define GGO_METRICS 0
#define GGO_BITMAP 1
#define GGO_GRAY4_BITMAP 5
#define GDI_ERROR 0xFFFFFFFFu

typedef struct tagTEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICA, *LPTEXTMETRICA;

typedef struct _GLYPHMETRICS {
    UINT gmBlackBoxX;
    UINT gmBlackBoxY;
    POINT gmptGlyphOrigin;  // the bitmap's top-left corner from the pen position, y upwards
    short gmCellIncX;
    short gmCellIncY;
} GLYPHMETRICS, *LPGLYPHMETRICS;

typedef struct _FIXED {
    WORD fract;
    short value;
} FIXED;

typedef struct _MAT2 {
    FIXED eM11;
    FIXED eM12;
    FIXED eM21;
    FIXED eM22;
} MAT2;

// A font of the face named in Shift-JIS (matched among the installed faces;
// the gothic and mincho system faces and any unknown face resolve to an
// installed Japanese face). A positive height is the cell height, a
// negative one the character height; weights of 600 and more are
// emboldened, italic slants. Width, escapement, orientation, precision,
// quality and pitch are taken and not used. Null on failure.
HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charset, DWORD outPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, const char* face);
// The metrics of the font selected into the device context; FALSE when the
// context holds none of ours.
BOOL WINAPI GetTextMetricsA(HDC deviceContext, LPTEXTMETRICA metrics);
// The glyph of a character code (a byte, or lead byte x 256 + trail byte in
// the font's code page) in the font selected into the device context.
// GGO_BITMAP gives 1 bit per pixel, GGO_GRAY4_BITMAP a byte per pixel of
// 0 to 16; rows are padded to 4 bytes and run top down. Only the identity
// matrix is supported. Without a buffer it returns the bitmap's size; a glyph
// with nothing to draw has an empty black box and size 0. GDI_ERROR on
// failure.
DWORD WINAPI GetGlyphOutlineA(HDC deviceContext, UINT character, UINT format, LPGLYPHMETRICS metrics,
                              DWORD bufferSize, void* buffer, const MAT2* matrix);
