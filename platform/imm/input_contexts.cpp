// One input context per window: its open status, the composition in
// progress, the last result string and the candidate list. The calls that
// read and change them, and the host's feed that sends the window its
// WM_IME_* messages.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/imm/imm.h"
#include "platform/imm/input_method_feed.h"
#include "platform/imm/input_method_state.h"
#include "platform/kernel/shift_jis.h"
#include "platform/user/window_records.h"

namespace platform::detail {
namespace {

struct InputContext {
    HWND window = nullptr;
    HIMC handle = nullptr;
    bool open = false;
    bool composing = false;
    std::string composition;
    std::string result;
    DWORD cursor = 0;
    std::vector<std::string> candidates;
    DWORD selection = 0;
    int takenCount = 0;
};

struct ContextTable {
    std::mutex lock;
    std::map<HWND, InputContext> byWindow;
};

ContextTable& Contexts() {
    static ContextTable* table = new ContextTable;  // outlives threads still running at exit
    return *table;
}

// Under the table's lock.
InputContext* FindByHandleLocked(HIMC handle) {
    if (handle == nullptr) return nullptr;
    for (auto& [window, context] : Contexts().byWindow)
        if (context.handle == handle) return &context;
    return nullptr;
}

InputContext& ContextOfLocked(HWND window) {
    InputContext& context = Contexts().byWindow[window];
    if (context.handle == nullptr) {
        context.window = window;
        context.handle = static_cast<HIMC>(NewUserHandle());
    }
    return context;
}

// The longest prefix of at most `limit` bytes that does not end inside a
// two-byte character.
size_t WholeCharacters(const std::string& text, size_t limit) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t step = IsShiftJisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
        if (at + step > limit) break;
        at += step;
    }
    return at;
}

LONG CopyOut(const void* bytes, size_t size, LPVOID buffer, DWORD bufferLength) {
    if (buffer == nullptr || bufferLength == 0) return static_cast<LONG>(size);
    const size_t copied = std::min<size_t>(size, bufferLength);
    std::memcpy(buffer, bytes, copied);
    return static_cast<LONG>(copied);
}

LONG CopyOutText(const std::string& text, LPVOID buffer, DWORD bufferLength) {
    if (buffer == nullptr || bufferLength == 0) return static_cast<LONG>(text.size());
    const size_t copied = WholeCharacters(text, bufferLength);
    std::memcpy(buffer, text.data(), copied);
    return static_cast<LONG>(copied);
}

// The candidate list laid out as one block.
std::vector<BYTE> CandidateBlock(const InputContext& context) {
    const size_t count = context.candidates.size();
    const size_t header = offsetof(CANDIDATELIST, dwOffset) + count * sizeof(DWORD);
    size_t size = header;
    for (const std::string& candidate : context.candidates) size += candidate.size() + 1;
    std::vector<BYTE> block(size, 0);
    CANDIDATELIST list{};
    list.dwSize = static_cast<DWORD>(size);
    list.dwStyle = IME_CAND_READ;
    list.dwCount = static_cast<DWORD>(count);
    list.dwSelection = context.selection;
    list.dwPageStart = 0;
    list.dwPageSize = static_cast<DWORD>(std::min<size_t>(count, 9));
    std::memcpy(block.data(), &list, offsetof(CANDIDATELIST, dwOffset));
    size_t at = header;
    for (size_t i = 0; i < count; ++i) {
        const DWORD offset = static_cast<DWORD>(at);
        std::memcpy(block.data() + offsetof(CANDIDATELIST, dwOffset) + i * sizeof(DWORD), &offset, sizeof(offset));
        std::memcpy(block.data() + at, context.candidates[i].data(), context.candidates[i].size());
        at += context.candidates[i].size() + 1;
    }
    return block;
}

}  // namespace

void ForgetInputContexts() {
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    table.byWindow.clear();
}

}  // namespace platform::detail

using namespace platform::detail;

HIMC WINAPI ImmGetContext(HWND window) {
    if (!FindWindowRecord(window)) return nullptr;
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    InputContext& context = ContextOfLocked(window);
    ++context.takenCount;
    return context.handle;
}

BOOL WINAPI ImmReleaseContext(HWND window, HIMC handle) {
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    InputContext* context = FindByHandleLocked(handle);
    if (context == nullptr || context->window != window || context->takenCount == 0) return FALSE;
    --context->takenCount;
    return TRUE;
}

BOOL WINAPI ImmGetOpenStatus(HIMC handle) {
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    InputContext* context = FindByHandleLocked(handle);
    return context != nullptr && context->open ? TRUE : FALSE;
}

BOOL WINAPI ImmSetOpenStatus(HIMC handle, BOOL open) {
    HWND notify = nullptr;
    {
        ContextTable& table = Contexts();
        std::lock_guard<std::mutex> guard(table.lock);
        InputContext* context = FindByHandleLocked(handle);
        if (context == nullptr) return FALSE;
        if (context->open != (open != FALSE)) {
            context->open = open != FALSE;
            notify = context->window;
        }
        if (!context->open) {
            context->composing = false;
            context->composition.clear();
            context->cursor = 0;
            context->candidates.clear();
        }
    }
    // Posted, not sent: the framework pumps messages while it handles it.
    if (notify != nullptr) PostMessageA(notify, WM_IME_NOTIFY, IMN_SETOPENSTATUS, 0);
    return TRUE;
}

LONG WINAPI ImmGetCompositionStringA(HIMC handle, DWORD index, LPVOID buffer, DWORD bufferLength) {
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    const InputContext* context = FindByHandleLocked(handle);
    if (context == nullptr) return IMM_ERROR_GENERAL;
    switch (index) {
        case GCS_COMPSTR: return CopyOutText(context->composition, buffer, bufferLength);
        case GCS_RESULTSTR: return CopyOutText(context->result, buffer, bufferLength);
        case GCS_CURSORPOS: return static_cast<LONG>(context->cursor);
        case GCS_COMPCLAUSE: {
            if (context->composition.empty()) return 0;
            const DWORD clauses[2] = {0, static_cast<DWORD>(context->composition.size())};
            // Offsets are whole: a buffer too small for both gives none.
            if (buffer != nullptr && bufferLength != 0 && bufferLength < sizeof(clauses)) return 0;
            return CopyOut(clauses, sizeof(clauses), buffer, bufferLength);
        }
        default: return IMM_ERROR_GENERAL;
    }
}

BOOL WINAPI ImmSetCompositionStringA(HIMC handle, DWORD index, LPCVOID composition, DWORD compositionLength,
                                     LPCVOID, DWORD) {
    if (index != SCS_SETSTR || (composition == nullptr && compositionLength != 0)) return FALSE;
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    InputContext* context = FindByHandleLocked(handle);
    if (context == nullptr || !context->open) return FALSE;
    std::string text(static_cast<const char*>(composition), compositionLength);
    // A string given with its terminator counts up to it.
    text.resize(std::strlen(text.c_str()));
    context->composition = text;
    context->composing = !text.empty();
    context->cursor = static_cast<DWORD>(text.size());
    return TRUE;
}

BOOL WINAPI ImmNotifyIME(HIMC handle, DWORD action, DWORD index, DWORD) {
    if (action != NI_COMPOSITIONSTR || index != CPS_CANCEL) return FALSE;
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    InputContext* context = FindByHandleLocked(handle);
    if (context == nullptr) return FALSE;
    context->composition.clear();
    context->cursor = 0;
    context->composing = false;
    return TRUE;
}

DWORD WINAPI ImmGetCandidateListA(HIMC handle, DWORD index, LPCANDIDATELIST list, DWORD bufferLength) {
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    const InputContext* context = FindByHandleLocked(handle);
    if (context == nullptr || index != 0 || context->candidates.empty()) return 0;
    const std::vector<BYTE> block = CandidateBlock(*context);
    if (list == nullptr || bufferLength == 0) return static_cast<DWORD>(block.size());
    if (bufferLength < block.size()) return 0;
    std::memcpy(list, block.data(), block.size());
    return static_cast<DWORD>(block.size());
}

namespace platform {

// The host's feed. Each change is made under the lock, and the messages are
// sent after it is released: the window procedure reads the context back.
bool ShowComposition(HWND window, const std::string& text, DWORD cursorBytes) {
    if (!InputMethodSwitchOn() || !FindWindowRecord(window)) return false;
    bool opened = false, started = false, ended = false;
    {
        ContextTable& table = Contexts();
        std::lock_guard<std::mutex> guard(table.lock);
        InputContext& context = ContextOfLocked(window);
        if (text.empty()) {
            if (!context.composing) return true;
            context.composing = false;
            context.composition.clear();
            context.cursor = 0;
            ended = true;
        } else {
            if (!context.open) context.open = opened = true;
            if (!context.composing) context.composing = started = true;
            context.composition = text;
            context.cursor = static_cast<DWORD>(WholeCharacters(text, cursorBytes));
        }
    }
    if (opened) PostMessageA(window, WM_IME_NOTIFY, IMN_SETOPENSTATUS, 0);
    if (started) SendMessageA(window, WM_IME_STARTCOMPOSITION, 0, 0);
    if (ended) {
        SendMessageA(window, WM_IME_COMPOSITION, 0, 0);
        SendMessageA(window, WM_IME_ENDCOMPOSITION, 0, 0);
    } else {
        SendMessageA(window, WM_IME_COMPOSITION, 0, GCS_COMPSTR | GCS_CURSORPOS | GCS_COMPCLAUSE);
    }
    return true;
}

bool CommitComposition(HWND window, const std::string& text) {
    if (!InputMethodSwitchOn() || !FindWindowRecord(window)) return false;
    {
        ContextTable& table = Contexts();
        std::lock_guard<std::mutex> guard(table.lock);
        auto found = table.byWindow.find(window);
        if (found == table.byWindow.end() || !found->second.composing) return false;
        InputContext& context = found->second;
        context.result = text;
        context.composition.clear();
        context.cursor = 0;
        context.composing = false;
    }
    SendMessageA(window, WM_IME_COMPOSITION, 0, GCS_RESULTSTR | GCS_COMPSTR);
    SendMessageA(window, WM_IME_ENDCOMPOSITION, 0, 0);
    return true;
}

bool ShowCandidates(HWND window, const std::vector<std::string>& candidates, DWORD selection) {
    if (!InputMethodSwitchOn() || !FindWindowRecord(window)) return false;
    WPARAM notice = IMN_CLOSECANDIDATE;
    {
        ContextTable& table = Contexts();
        std::lock_guard<std::mutex> guard(table.lock);
        InputContext& context = ContextOfLocked(window);
        const bool wasOpen = !context.candidates.empty();
        context.candidates = candidates;
        context.selection = candidates.empty() ? 0 : std::min<DWORD>(selection, candidates.size() - 1);
        if (!candidates.empty()) notice = wasOpen ? IMN_CHANGECANDIDATE : IMN_OPENCANDIDATE;
        else if (!wasOpen) return true;
    }
    SendMessageA(window, WM_IME_NOTIFY, notice, 0);
    return true;
}

InputContextView ViewInputContext(HWND window) {
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    InputContextView view;
    auto found = table.byWindow.find(window);
    if (found == table.byWindow.end()) return view;
    const InputContext& context = found->second;
    view.exists = true;
    view.open = context.open;
    view.composing = context.composing;
    view.composition = context.composition;
    view.result = context.result;
    view.cursor = context.cursor;
    view.candidates = context.candidates;
    view.takenCount = context.takenCount;
    return view;
}

}  // namespace platform
