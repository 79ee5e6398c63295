// The clipboard: one per process, opened by one thread at a time, holding
// global memory blocks by format. CF_TEXT also goes to the host's clipboard
// and is read back from it, so that text copied elsewhere can be pasted.
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/host/host_video.h"
#include "platform/kernel/kernel.h"
#include "platform/user/host_text.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

struct Clipboard {
    std::mutex lock;
    bool open = false;
    DWORD openThread = 0;
    std::map<UINT, HGLOBAL> data;
    // The text last exchanged with the host, to tell whether someone else
    // has copied since.
    std::string hostText;
};

Clipboard& TheClipboard() {
    static Clipboard* clipboard = new Clipboard;  // outlives threads still running at exit
    return *clipboard;
}

bool OpenedByCaller(const Clipboard& clipboard) {
    if (clipboard.open && clipboard.openThread == GetCurrentThreadId()) return true;
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return false;
}

void FreeAllLocked(Clipboard& clipboard) {
    for (const auto& [format, block] : clipboard.data) GlobalFree(block);
    clipboard.data.clear();
}

// The host's clipboard in Shift-JIS with carriage return and line feed;
// characters that have no Shift-JIS form become '?'. False without a display
// (or, for reading, when the host's clipboard holds no text).
bool SetHostClipboardText(const std::string& shiftJis) {
    return HostVideo().SetClipboardText(ShiftJisToHostText(shiftJis));
}

bool HostClipboardText(std::string& shiftJis) {
    std::string text;
    if (!HostVideo().ClipboardText(text)) return false;
    shiftJis = HostTextToShiftJis(text);
    return true;
}

// The text of a block: up to its terminator, never past its end.
std::string BlockText(HGLOBAL block) {
    const SIZE_T size = GlobalSize(block);
    const char* text = static_cast<const char*>(GlobalLock(block));
    if (text == nullptr) return {};
    std::string result(text, strnlen(text, size));
    GlobalUnlock(block);
    return result;
}

HGLOBAL TextBlock(const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (block == nullptr) return nullptr;
    char* memory = static_cast<char*>(GlobalLock(block));
    std::memcpy(memory, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    return block;
}

// Takes up text that the host's clipboard got from elsewhere.
void RefreshTextFromHostLocked(Clipboard& clipboard) {
    std::string text;
    if (!HostClipboardText(text)) return;
    if (text == clipboard.hostText && clipboard.data.count(CF_TEXT) != 0) return;
    HGLOBAL block = TextBlock(text);
    if (block == nullptr) return;
    if (clipboard.data.count(CF_TEXT) != 0) GlobalFree(clipboard.data[CF_TEXT]);
    clipboard.data[CF_TEXT] = block;
    clipboard.hostText = text;
}

}  // namespace

void ResetClipboard() {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard<std::mutex> guard(clipboard.lock);
    FreeAllLocked(clipboard);
    clipboard.open = false;
    clipboard.openThread = 0;
    clipboard.hostText.clear();
}

}  // namespace platform::detail

using namespace platform::detail;

BOOL WINAPI OpenClipboard(HWND owner) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard<std::mutex> guard(clipboard.lock);
    if (clipboard.open && clipboard.openThread != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    clipboard.open = true;
    clipboard.openThread = GetCurrentThreadId();
    return TRUE;
}

BOOL WINAPI CloseClipboard(void) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard<std::mutex> guard(clipboard.lock);
    if (!OpenedByCaller(clipboard)) return FALSE;
    clipboard.open = false;
    clipboard.openThread = 0;
    return TRUE;
}

BOOL WINAPI EmptyClipboard(void) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard<std::mutex> guard(clipboard.lock);
    if (!OpenedByCaller(clipboard)) return FALSE;
    FreeAllLocked(clipboard);
    if (SetHostClipboardText(std::string())) clipboard.hostText.clear();
    return TRUE;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard<std::mutex> guard(clipboard.lock);
    if (format == CF_TEXT) {
        std::string text;
        if (HostClipboardText(text)) return TRUE;
    }
    return clipboard.data.count(format) != 0 ? TRUE : FALSE;
}

HANDLE WINAPI GetClipboardData(UINT format) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard<std::mutex> guard(clipboard.lock);
    if (!OpenedByCaller(clipboard)) return nullptr;
    if (format == CF_TEXT) RefreshTextFromHostLocked(clipboard);
    auto found = clipboard.data.find(format);
    return found != clipboard.data.end() ? found->second : nullptr;
}

HANDLE WINAPI SetClipboardData(UINT format, HANDLE data) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard<std::mutex> guard(clipboard.lock);
    if (!OpenedByCaller(clipboard)) return nullptr;
    if (data == nullptr || GlobalSize(data) == 0) {  // no data given now to render later
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto found = clipboard.data.find(format);
    if (found != clipboard.data.end() && found->second != data) GlobalFree(found->second);
    clipboard.data[format] = data;
    if (format == CF_TEXT) {
        // What the host keeps may differ (line ends, characters without a
        // Shift-JIS form); remember it as the host gives it back.
        if (SetHostClipboardText(BlockText(data))) HostClipboardText(clipboard.hostText);
    }
    return data;
}
