// The input method's messages to the main window: the composition in
// progress, its result into the character buffer, the candidate list and the
// open status; and switching the input method on and off.
#include <cinttypes>
#include <cstring>

#include "framework/base/fatal_exit.h"
#include "framework/textinput/input_char_buffer.h"
#include "framework/base/log.h"
#include "framework/window/main_window.h"
#include "framework/textinput/text_input.h"
#include "framework/textinput/text_input_state.h"
#include "framework/base/time_functions.h"
#include "framework/base/tracked_memory.h"

namespace {

// How long the open-status change is given to settle.
constexpr uint64_t OpenStatusSettleMicroseconds = 2000;

// Reads a string of the composition into one of the 1024-byte buffers,
// leaving room for its terminator.
void ReadCompositionText(HIMC context, DWORD which, char* buffer) {
    std::memset(buffer, 0, ImeTextSize);
    const LONG read = ImmGetCompositionStringA(context, which, buffer, ImeTextSize - 1);
    buffer[read > 0 && read < ImeTextSize ? read : 0] = '\0';
}

void FreeCandidateList() {
    if (TextInput.candidateList != nullptr) FreeMemory(TextInput.candidateList);
    TextInput.candidateList = nullptr;
}

void HandleComposition(HWND window, LPARAM flags) {
    HIMC context = ImmGetContext(window);
    if (context == nullptr) return;
    if (flags & GCS_COMPSTR) ReadCompositionText(context, GCS_COMPSTR, TextInput.composition);
    if (flags & GCS_RESULTSTR) {
        ReadCompositionText(context, GCS_RESULTSTR, TextInput.composition);
        for (const char* byte = TextInput.composition; *byte != '\0'; ++byte)
            PutInputChar(static_cast<unsigned char>(*byte));
        ReadCompositionText(context, GCS_COMPSTR, TextInput.composition);
    }
    if (flags & GCS_CURSORPOS) {
        const LONG offset = ImmGetCompositionStringA(context, GCS_CURSORPOS, nullptr, 0);
        TextInput.compositionCursor = CountMultiByteChars(TextInput.composition, offset > 0 ? offset : 0);
    }
    if (flags & GCS_COMPCLAUSE) {
        std::memset(TextInput.clauses, 0, sizeof(TextInput.clauses));
        const LONG read = ImmGetCompositionStringA(context, GCS_COMPCLAUSE, TextInput.clauses, ImeTextSize);
        TextInput.clauseCount = read > 0 ? read / 4 : 0;
    }
    ImmReleaseContext(window, context);
}

void KeepCandidateList(HWND window) {
    HIMC context = ImmGetContext(window);
    const DWORD size = ImmGetCandidateListA(context, 0, nullptr, 0);
    TextInput.candidateListSize = static_cast<int>(size);
    if (size == 0) {
        ImmReleaseContext(window, context);
        WriteLogFormat("漢字変換候補のデータサイズが０でした  DefHWND:%" PRIxPTR " IMC:%" PRIxPTR,
                       reinterpret_cast<uintptr_t>(window), reinterpret_cast<uintptr_t>(context));
        return;
    }
    FreeCandidateList();
    TextInput.candidateList = AllocMemory(size, __FILE__, __LINE__);
    if (TextInput.candidateList == nullptr) {
        ImmReleaseContext(window, context);
        FatalErrorExitFormat("漢字変換候補を保存するメモリの確保に失敗しました( 確保しようとしたサイズ %d バイト )",
                             static_cast<int>(size));
    }
    if (ImmGetCandidateListA(context, 0, static_cast<LPCANDIDATELIST>(TextInput.candidateList), size) == 0) {
        FreeCandidateList();
        ImmReleaseContext(window, context);
        WriteLogFormat("漢字変換候補の取得に失敗しました  BufSize:%d", static_cast<int>(size));
        return;
    }
    ImmReleaseContext(window, context);
}

void SettleOpenStatus(HWND window, WPARAM wParam, LPARAM lParam) {
    if (TextInput.openStatusBeingHandled) return;
    TextInput.openStatusBeingHandled = 1;
    DefWindowProcA(window, WM_IME_NOTIFY, wParam, lParam);
    const uint64_t start = GetMicrosecondCount(1);
    while (ProcessWindowMessages() == 0 && GetMicrosecondCount(1) - start < OpenStatusSettleMicroseconds) {
    }
    TextInput.openStatusBeingHandled = 0;
    HIMC context = ImmGetContext(window);
    TextInput.imeOpen = ImmGetOpenStatus(context) ? 1 : 0;
    ImmReleaseContext(window, context);
}

LRESULT HandleNotify(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case IMN_CHANGECANDIDATE:
        case IMN_OPENCANDIDATE:
        case IMN_SETCANDIDATEPOS: KeepCandidateList(window); return 0;
        case IMN_CLOSECANDIDATE:
            FreeCandidateList();
            TextInput.candidateListSize = 0;
            return 0;
        case IMN_SETOPENSTATUS: SettleOpenStatus(window, wParam, lParam); return 0;
        default: return DefWindowProcA(window, WM_IME_NOTIFY, wParam, lParam);
    }
}

}  // namespace

LRESULT ImeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ResetInputCursorBlink();
    switch (message) {
        case WM_IME_STARTCOMPOSITION:
            TextInput.composing = 1;
            TextInput.compositionCursor = 0;
            return 0;
        case WM_IME_ENDCOMPOSITION:
            std::memset(TextInput.composition, 0, sizeof(TextInput.composition));
            TextInput.composing = 0;
            return 0;
        case WM_IME_COMPOSITION: HandleComposition(window, lParam); return 0;
        case WM_IME_SETCONTEXT: return DefWindowProcA(window, WM_IME_SETCONTEXT, wParam, 0);
        case WM_IME_NOTIFY: return HandleNotify(window, wParam, lParam);
        default: return 0;
    }
}

int SetImeEnabled(int flag) {
    if (flag == TextInput.imeEnabled) return 0;
    WINNLSEnableIME(MainWindow.windowHandle, flag);
    TextInput.imeEnabled = flag;
    if (flag == 0) {
        FreeCandidateList();
        TextInput.candidateListSize = 0;
        std::memset(TextInput.composition, 0, sizeof(TextInput.composition));
        TextInput.composing = 0;
    }
    return 0;
}

int GetImeOpenState() { return TextInput.imeOpen; }

void StartImeReopen() { TextInput.reopenStep = 1; }
