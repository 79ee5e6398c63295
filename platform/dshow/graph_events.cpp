// What filters report to the graph, and the wait for its completion: the
// graph is complete once every renderer has reported the end of its stream,
// and given up once any filter has reported an abort.
#include <chrono>

#include "platform/dshow/filter_graph.h"

namespace platform::dshow {

void FilterGraph::ResetCompletion() {
    int renderers = 0;
    for (const Member& member : members_)
        if (IsRenderer(member.filter.get())) ++renderers;
    {
        std::lock_guard<std::mutex> hold(eventLock_);
        renderers_ = renderers;
        completions_ = 0;
        // A graph with nothing to render has nothing to wait for.
        complete_ = renderers == 0;
        abortCode_ = 0;
    }
    completionChanged_.notify_all();
}

bool FilterGraph::Completed() {
    std::lock_guard<std::mutex> hold(eventLock_);
    return complete_;
}

HRESULT WINAPI FilterGraph::Notify(LONG eventCode, LONG_PTR param1, LONG_PTR param2) {
    {
        std::lock_guard<std::mutex> hold(eventLock_);
        if (eventCode == EC_COMPLETE) {
            if (++completions_ >= renderers_) complete_ = true;
        } else if (eventCode == EC_ERRORABORT || eventCode == EC_USERABORT) {
            if (abortCode_ == 0) abortCode_ = eventCode;
        } else {
            return S_OK;
        }
    }
    completionChanged_.notify_all();
    return S_OK;
}

HRESULT WINAPI FilterGraph::WaitForCompletion(LONG milliseconds, LONG* eventCode) {
    if (eventCode == nullptr) return E_POINTER;
    *eventCode = 0;
    if (state_.load() == State_Stopped) return VFW_E_WRONG_STATE;
    std::unique_lock<std::mutex> hold(eventLock_);
    const auto done = [this] { return complete_ || abortCode_ != 0; };
    if (static_cast<DWORD>(milliseconds) == INFINITE)
        completionChanged_.wait(hold, done);
    else if (milliseconds > 0)
        completionChanged_.wait_for(hold, std::chrono::milliseconds(milliseconds), done);
    // A filter that gave up says more than the others that finished.
    if (abortCode_ != 0) {
        *eventCode = abortCode_;
        return S_OK;
    }
    if (complete_) {
        *eventCode = EC_COMPLETE;
        return S_OK;
    }
    return E_ABORT;
}

}  // namespace platform::dshow
