// The calling thread's key state as its key messages left it: a key is down
// after its WM_KEYDOWN was taken from the queue and until its WM_KEYUP was.
#include <algorithm>
#include <mutex>

#include "platform/user/message_queue.h"

using namespace platform::detail;

BOOL WINAPI GetKeyboardState(PBYTE keyState) {
    if (keyState == nullptr) return FALSE;
    std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
    std::lock_guard<std::mutex> guard(queue->lock);
    std::copy(std::begin(queue->keyState), std::end(queue->keyState), keyState);
    return TRUE;
}

SHORT WINAPI GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 0xFF) return 0;
    std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
    std::lock_guard<std::mutex> guard(queue->lock);
    const BYTE state = queue->keyState[virtualKey];
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}
