// Per-thread message queues: posting, sending within and across threads,
// PostQuitMessage, and the queue's life with its thread.
#include "platform/user/message_queue.h"

#include <algorithm>

#include "platform/kernel/kernel.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"
#include "platform/winmm/winmm.h"


namespace platform::detail {
namespace {

struct QueueDirectory {
    std::mutex lock;
    std::vector<std::weak_ptr<ThreadQueue>> queues;
};

QueueDirectory& Directory() {
    static QueueDirectory* directory = new QueueDirectory;  // outlives threads still running at exit
    return *directory;
}

void Complete(SentMessage& sent, LRESULT result) {
    std::lock_guard<std::mutex> guard(sent.sender->lock);
    sent.result = result;
    sent.done = true;
    sent.sender->WakeWaiters();
}

// The thread has ended: whatever was sent to it is answered with 0 and
// nothing more can arrive.
void EndQueue(ThreadQueue& queue) {
    std::deque<std::shared_ptr<SentMessage>> pending;
    {
        std::lock_guard<std::mutex> guard(queue.lock);
        queue.alive = false;
        pending.swap(queue.incoming);
        queue.posted.clear();
        queue.timers.clear();
    }
    for (const auto& sent : pending) Complete(*sent, 0);
}

struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (queue) EndQueue(*queue);
    }
};

thread_local QueueHolder currentQueue;

}  // namespace

bool ThreadQueue::IsSignalled() const {
    return (awaited.posted && arrivals != arrivalsSeen) || (awaited.sent && !incoming.empty()) ||
           awaited.timerDue || (awaited.reply != nullptr && awaited.reply->done);
}

size_t WaitOnOwnQueue(ThreadQueue& queue, const QueueWakeConditions& conditions, WaitSource* const* others,
                      size_t count, bool all, DWORD milliseconds) {
    WaitSource* sources[MAXIMUM_WAIT_OBJECTS];
    if (count >= MAXIMUM_WAIT_OBJECTS) return kWaitTimedOut;
    std::copy(others, others + count, sources);
    sources[count] = &queue;
    {
        std::lock_guard<std::mutex> guard(queue.lock);
        queue.awaited = conditions;
    }
    const size_t satisfied = WaitForSources(sources, count + 1, all, milliseconds);
    std::lock_guard<std::mutex> guard(queue.lock);
    queue.awaited = QueueWakeConditions{};
    return satisfied;
}

std::shared_ptr<ThreadQueue> CurrentThreadQueue() {
    if (!currentQueue.queue) {
        currentQueue.queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
        QueueDirectory& directory = Directory();
        std::lock_guard<std::mutex> guard(directory.lock);
        auto& queues = directory.queues;
        queues.erase(std::remove_if(queues.begin(), queues.end(),
                                    [](const auto& queue) { return queue.expired(); }),
                     queues.end());
        queues.push_back(currentQueue.queue);
    }
    return currentQueue.queue;
}

bool PostToQueue(ThreadQueue& queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                 bool atFront) {
    const MSG posted{window, message, wParam, lParam, timeGetTime(), CursorPosition()};
    std::lock_guard<std::mutex> guard(queue.lock);
    if (!queue.alive) return false;
    if (atFront)
        queue.posted.push_front(posted);
    else if (message == WM_MOUSEMOVE && !queue.posted.empty() && queue.posted.back().message == WM_MOUSEMOVE &&
        queue.posted.back().hwnd == window)
        queue.posted.back() = posted;
    else
        queue.posted.push_back(posted);
    ++queue.arrivals;
    queue.WakeWaiters();
    return true;
}

LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure = nullptr;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
        if (!record) return 0;
        procedure = record->procedure;
    }
    if (procedure == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return procedure(window, message, wParam, lParam);
}

void HandleIncomingSentMessages(ThreadQueue& queue) {
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard<std::mutex> guard(queue.lock);
            if (queue.incoming.empty()) return;
            sent = queue.incoming.front();
            queue.incoming.pop_front();
        }
        Complete(*sent, CallWindowProcedure(sent->window, sent->message, sent->wParam, sent->lParam));
    }
}

void ForgetWindowMessages(ThreadQueue& queue, HWND window) {
    std::lock_guard<std::mutex> guard(queue.lock);
    auto& posted = queue.posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [&](const MSG& message) { return message.hwnd == window; }),
                 posted.end());
    auto& timers = queue.timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& timer) { return timer.window == window; }),
                 timers.end());
}

void ClearAllQueues() {
    std::vector<std::shared_ptr<ThreadQueue>> queues;
    {
        QueueDirectory& directory = Directory();
        std::lock_guard<std::mutex> guard(directory.lock);
        for (const auto& weak : directory.queues)
            if (auto queue = weak.lock()) queues.push_back(queue);
    }
    for (const auto& queue : queues) {
        std::lock_guard<std::mutex> guard(queue->lock);
        queue->posted.clear();
        queue->arrivalsSeen = queue->arrivals;  // nothing left is new
        queue->quitPosted = false;
        queue->quitCode = 0;
        queue->timers.clear();
        std::fill(std::begin(queue->keyState), std::end(queue->keyState), BYTE{0});
    }
}

}  // namespace platform::detail

using namespace platform::detail;

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> queue;
    if (window == nullptr) {
        queue = CurrentThreadQueue();
    } else {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
        if (record) queue = record->queue;
    }
    if (!queue || !PostToQueue(*queue, window, message, wParam, lParam)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> target;
    DWORD owner = 0;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
        if (!record) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        target = record->queue;
        owner = record->threadId;
    }
    if (owner == GetCurrentThreadId()) return CallWindowProcedure(window, message, wParam, lParam);

    std::shared_ptr<ThreadQueue> self = CurrentThreadQueue();
    auto sent = std::make_shared<SentMessage>();
    sent->window = window;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = self;
    {
        std::lock_guard<std::mutex> guard(target->lock);
        if (!target->alive) return 0;
        target->incoming.push_back(sent);
        target->WakeWaiters();
    }
    // While waiting, answer what is sent to this thread, so that two threads
    // sending to each other do not wait for ever.
    QueueWakeConditions answeredOrSentTo;
    answeredOrSentTo.sent = true;
    answeredOrSentTo.reply = sent.get();
    for (;;) {
        HandleIncomingSentMessages(*self);
        WaitOnOwnQueue(*self, answeredOrSentTo, nullptr, 0, false, INFINITE);
        std::lock_guard<std::mutex> guard(self->lock);
        if (sent->done) return sent->result;
    }
}

void WINAPI PostQuitMessage(int exitCode) {
    std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
    std::lock_guard<std::mutex> guard(queue->lock);
    queue->quitPosted = true;
    queue->quitCode = exitCode;
    ++queue->arrivals;
    queue->WakeWaiters();
}
