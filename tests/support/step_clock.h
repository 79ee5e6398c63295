// A reference clock that stands still until a test moves it, for graphs
// whose timing a test checks without waiting for real time.
#pragma once

#include <map>
#include <mutex>

#include "platform/dshow/dshow.h"
#include "platform/dshow/interface_ids.h"

namespace testsupport {

class StepClock final : public platform::com::Object<StepClock, IReferenceClock> {
public:
    // A clock at `start`, with one reference.
    static StepClock* Make(REFERENCE_TIME start = 0);

    HRESULT WINAPI GetTime(REFERENCE_TIME* time) override;
    HRESULT WINAPI AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HANDLE event,
                              DWORD_PTR* adviseCookie) override;
    HRESULT WINAPI Unadvise(DWORD_PTR adviseCookie) override;

    // Moves the clock on and sets the events whose time came.
    void Advance(REFERENCE_TIME by);
    REFERENCE_TIME Now();
    // The earliest time a waiting advice is due, or -1 when none waits.
    REFERENCE_TIME NextDue();

private:
    friend class platform::com::Object<StepClock, IReferenceClock>;
    explicit StepClock(REFERENCE_TIME start) : now_(start) {}

    std::mutex lock_;
    REFERENCE_TIME now_;
    std::map<DWORD_PTR, std::pair<REFERENCE_TIME, HANDLE>> advices_;
    DWORD_PTR nextCookie_ = 1;
};

}  // namespace testsupport
