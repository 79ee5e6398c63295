// Input method: the switch that lets the program's windows use it, one input
// context per window with its open status, the composition in progress, the
// result string, the cursor and clause offsets, and the candidate list.
//
// Stands in for the input-method interface the framework calls, with the
// names and numeric values the framework expects. Left out: the reading
// strings, conversion modes, status and candidate windows of its own, and
// every call the framework does not make.
// Built on plain per-window records. The host's video adapter
// (platform/host/host_video.h) feeds them from SDL2's text editing: a
// composition the host's input method shows becomes the context's
// composition string and WM_IME_* messages, committed text its result
// string. Without a host the contexts are only records.
#pragma once

#include "platform/win_types.h"

typedef HANDLE HIMC;

// Enables or disables the input method for the program's windows (the window
// is not told apart: the switch is the program's). Returns the previous
// state. Enabled at start.
BOOL WINAPI WINNLSEnableIME(HWND window, BOOL enable);

// The window's input context (made on first use, closed), or null for a
// handle that is no window. Each one taken is given back with
// ImmReleaseContext.
HIMC WINAPI ImmGetContext(HWND window);
BOOL WINAPI ImmReleaseContext(HWND window, HIMC context);

BOOL WINAPI ImmGetOpenStatus(HIMC context);
// A change of the status posts WM_IME_NOTIFY with IMN_SETOPENSTATUS to the
// context's window. Closing ends a composition in progress.
BOOL WINAPI ImmSetOpenStatus(HIMC context, BOOL open);

// What ImmGetCompositionStringA reads and WM_IME_COMPOSITION's lParam names.
#define GCS_COMPREADSTR 0x0001u
#define GCS_COMPSTR 0x0008u
#define GCS_COMPCLAUSE 0x0020u
#define GCS_CURSORPOS 0x0080u
#define GCS_RESULTSTR 0x0800u

// ImmSetCompositionStringA: replace the composition string.
#define SCS_SETSTR (GCS_COMPREADSTR | GCS_COMPSTR)

// ImmNotifyIME: act on the composition string, cancelling it.
#define NI_COMPOSITIONSTR 0x0015u
#define CPS_CANCEL 0x0004u

// WM_IME_NOTIFY's wParam.
#define IMN_CLOSECANDIDATE 0x0004u
#define IMN_CHANGECANDIDATE 0x0003u
#define IMN_OPENCANDIDATE 0x0005u
#define IMN_SETOPENSTATUS 0x0008u
#define IMN_SETCANDIDATEPOS 0x0009u

// Strings are Shift-JIS without a terminator. With a null buffer or a buffer
// length of 0 the size in bytes is returned; else at most `bufferLength`
// bytes are copied (a string is never cut inside a two-byte character) and
// their count returned. GCS_CURSORPOS gives the cursor's byte offset in the
// composition string; GCS_COMPCLAUSE the clause offsets as 32-bit byte
// offsets (the first 0, the last the string's length). IMM_ERROR_GENERAL for
// an unknown context or index.
#define IMM_ERROR_NODATA (-1)
#define IMM_ERROR_GENERAL (-2)
LONG WINAPI ImmGetCompositionStringA(HIMC context, DWORD index, LPVOID buffer, DWORD bufferLength);
// Only SCS_SETSTR with a composition string is taken (the reading is
// ignored): it becomes the composition, with the cursor at its end and one
// clause. FALSE otherwise or while the context is closed.
BOOL WINAPI ImmSetCompositionStringA(HIMC context, DWORD index, LPCVOID composition, DWORD compositionLength,
                                     LPCVOID reading, DWORD readingLength);
// Only NI_COMPOSITIONSTR with CPS_CANCEL is taken: the composition is
// dropped. FALSE for anything else.
BOOL WINAPI ImmNotifyIME(HIMC context, DWORD action, DWORD index, DWORD value);

// A candidate list as the input method lays it out in one block: the header,
// then dwCount offsets (from the start of the block) of zero-terminated
// Shift-JIS strings, then the strings.
typedef struct tagCANDIDATELIST {
    DWORD dwSize;  // of the whole block
    DWORD dwStyle;
    DWORD dwCount;
    DWORD dwSelection;
    DWORD dwPageStart;
    DWORD dwPageSize;
    DWORD dwOffset[1];
} CANDIDATELIST, *LPCANDIDATELIST;

#define IME_CAND_READ 0x0001u

// List `index` (only 0 exists): with a null list or a length of 0 the size
// of its block; else the block copied, when it fits, and its size. 0 when
// there is no list or it does not fit.
DWORD WINAPI ImmGetCandidateListA(HIMC context, DWORD index, LPCANDIDATELIST list, DWORD bufferLength);
