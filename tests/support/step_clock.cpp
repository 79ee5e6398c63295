#include "tests/support/step_clock.h"

#include "platform/kernel/kernel.h"

namespace testsupport {

StepClock* StepClock::Make(REFERENCE_TIME start) { return new StepClock(start); }

HRESULT WINAPI StepClock::GetTime(REFERENCE_TIME* time) {
    if (time == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *time = now_;
    return S_OK;
}

HRESULT WINAPI StepClock::AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HANDLE event,
                                     DWORD_PTR* adviseCookie) {
    if (adviseCookie == nullptr) return E_POINTER;
    if (event == nullptr) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(lock_);
    *adviseCookie = 0;
    if (baseTime + streamTime <= now_) {
        SetEvent(event);
        return S_OK;
    }
    *adviseCookie = nextCookie_++;
    advices_[*adviseCookie] = {baseTime + streamTime, event};
    return S_OK;
}

HRESULT WINAPI StepClock::Unadvise(DWORD_PTR adviseCookie) {
    std::lock_guard<std::mutex> hold(lock_);
    return advices_.erase(adviseCookie) != 0 ? S_OK : S_FALSE;
}

void StepClock::Advance(REFERENCE_TIME by) {
    std::lock_guard<std::mutex> hold(lock_);
    now_ += by;
    for (auto advice = advices_.begin(); advice != advices_.end();) {
        if (advice->second.first <= now_) {
            SetEvent(advice->second.second);
            advice = advices_.erase(advice);
        } else {
            ++advice;
        }
    }
}

REFERENCE_TIME StepClock::Now() {
    std::lock_guard<std::mutex> hold(lock_);
    return now_;
}

REFERENCE_TIME StepClock::NextDue() {
    std::lock_guard<std::mutex> hold(lock_);
    REFERENCE_TIME next = -1;
    for (const auto& advice : advices_)
        if (next < 0 || advice.second.first < next) next = advice.second.first;
    return next;
}

}  // namespace testsupport
