// Handing taken messages on: TranslateMessage, DispatchMessageA, the key
// state kept as key messages are taken, and the dialog, accelerator and hook
// calls that find nothing to act on here.
#include <algorithm>

#include "platform/kernel/kernel.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

void SetKey(BYTE keyState[256], int key, bool down) {
    if (down) {
        if (!(keyState[key] & 0x80)) keyState[key] ^= 0x01;  // the toggle flips on each press
        keyState[key] |= 0x80;
    } else {
        keyState[key] &= static_cast<BYTE>(~0x80);
    }
}

// The generic Shift, Ctrl and Alt keys are down while either side is.
void CombineSides(BYTE keyState[256], int generic, int left, int right) {
    const BYTE down = static_cast<BYTE>((keyState[left] | keyState[right]) & 0x80);
    keyState[generic] = static_cast<BYTE>((keyState[generic] & 0x01) | down);
}

bool KeyDown(const BYTE keyState[256], int key) { return (keyState[key] & 0x80) != 0; }

// The control character a key types, or 0.
WPARAM ControlCharacter(const BYTE keyState[256], WPARAM key) {
    const bool control = KeyDown(keyState, VK_CONTROL) && !KeyDown(keyState, VK_MENU);
    switch (key) {
        case VK_BACK: return 0x08;
        case VK_TAB: return 0x09;
        case VK_RETURN: return control ? 0x0A : 0x0D;
        case VK_ESCAPE: return 0x1B;
        default: break;
    }
    if (control && key >= 'A' && key <= 'Z') return key - 'A' + 1;
    return 0;
}

}  // namespace

void UpdateKeyState(BYTE keyState[256], const MSG& message) {
    const int key = static_cast<int>(message.wParam & 0xFF);
    const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool extended = (message.lParam & (1 << 24)) != 0;
    const int scanCode = static_cast<int>((message.lParam >> 16) & 0xFF);
    switch (key) {
        case VK_SHIFT:
            SetKey(keyState, scanCode == 0x36 ? VK_RSHIFT : VK_LSHIFT, down);
            CombineSides(keyState, VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
            break;
        case VK_CONTROL:
            SetKey(keyState, extended ? VK_RCONTROL : VK_LCONTROL, down);
            CombineSides(keyState, VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
            break;
        case VK_MENU:
            SetKey(keyState, extended ? VK_RMENU : VK_LMENU, down);
            CombineSides(keyState, VK_MENU, VK_LMENU, VK_RMENU);
            break;
        default: SetKey(keyState, key, down); break;
    }
}

}  // namespace platform::detail

using namespace platform::detail;

BOOL WINAPI TranslateMessage(const MSG* message) {
    if (message == nullptr) return FALSE;
    switch (message->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
            BYTE keyState[256];
            {
                std::lock_guard<std::mutex> guard(queue->lock);
                std::copy(std::begin(queue->keyState), std::end(queue->keyState), keyState);
            }
            WPARAM character = 0;
            UINT characterMessage = WM_CHAR;
            if (message->message == WM_KEYDOWN) {
                character = ControlCharacter(keyState, message->wParam);
            } else if (message->wParam == VK_RETURN) {
                character = 0x0D;  // Alt+Enter
                characterMessage = WM_SYSCHAR;
            }
            // The character comes next, before any key message queued behind.
            if (character != 0)
                PostToQueue(*queue, message->hwnd, characterMessage, character, message->lParam, true);
            return TRUE;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP: return TRUE;
        default: return FALSE;
    }
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
    if (message == nullptr) return 0;
    if (message->message == WM_TIMER && message->lParam != 0) {
        auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
        if (IsTimerProcedure(message->hwnd, message->wParam, procedure))
            procedure(message->hwnd, WM_TIMER, message->wParam, message->time);
        return 0;
    }
    if (message->hwnd == nullptr) return 0;
    std::shared_ptr<WindowRecord> record = FindWindowRecord(message->hwnd);
    if (!record) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (record->threadId != GetCurrentThreadId()) return 0;  // not this thread's window
    return CallWindowProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message) { return FALSE; }

int WINAPI TranslateAcceleratorA(HWND window, HACCEL table, LPMSG message) { return 0; }

BOOL WINAPI UnhookWindowsHookEx(HHOOK hook) {
    SetLastError(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
}
