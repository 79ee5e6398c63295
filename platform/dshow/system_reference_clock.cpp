// The system reference clock: the performance counter in 100 ns units, and a
// thread of its own that sets each advised event when its time comes. Also
// the default clock that graphs take, which tests may replace.
#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "platform/dshow/graph_objects.h"
#include "platform/dshow/reference_clock.h"
#include "platform/kernel/clock_source.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/winmm/winmm.h"

namespace platform::dshow {
namespace {

constexpr uint64_t kUnitsPerSecond = 10000000;

class SystemReferenceClock final : public com::Object<SystemReferenceClock, IReferenceClock> {
public:
    ~SystemReferenceClock() override {
        {
            std::lock_guard<std::mutex> hold(lock_);
            ending_ = true;
        }
        changed_.notify_all();
        if (worker_.joinable()) worker_.join();
    }

    HRESULT WINAPI GetTime(REFERENCE_TIME* time) override {
        if (time == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        *time = NowLocked();
        return S_OK;
    }

    HRESULT WINAPI AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HANDLE event,
                              DWORD_PTR* adviseCookie) override {
        if (adviseCookie == nullptr) return E_POINTER;
        *adviseCookie = 0;
        if (event == nullptr) return E_INVALIDARG;
        REFERENCE_TIME due = 0;
        if (__builtin_add_overflow(baseTime, streamTime, &due)) return E_INVALIDARG;
        std::lock_guard<std::mutex> hold(lock_);
        if (NowLocked() >= due) {
            SetEvent(event);
            return S_OK;
        }
        const DWORD_PTR cookie = nextCookie_++;
        advices_[cookie] = Advice{due, event};
        *adviseCookie = cookie;
        if (!worker_.joinable()) worker_ = std::thread([this] { Watch(); });
        changed_.notify_all();
        return S_OK;
    }

    HRESULT WINAPI Unadvise(DWORD_PTR adviseCookie) override {
        std::lock_guard<std::mutex> hold(lock_);
        return advices_.erase(adviseCookie) != 0 ? S_OK : S_FALSE;
    }

private:
    struct Advice {
        REFERENCE_TIME due;
        HANDLE event;
    };

    // Never runs backwards, whatever the counter does.
    REFERENCE_TIME NowLocked() {
        LARGE_INTEGER frequency{};
        LARGE_INTEGER counter{};
        REFERENCE_TIME now = 0;
        if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 && QueryPerformanceCounter(&counter)) {
            now = static_cast<REFERENCE_TIME>(detail::ScaleExactly(static_cast<uint64_t>(counter.QuadPart),
                                                                   kUnitsPerSecond,
                                                                   static_cast<uint64_t>(frequency.QuadPart)));
        } else {
            now = static_cast<REFERENCE_TIME>(timeGetTime()) * 10000;
        }
        latest_ = std::max(latest_, now);
        return latest_;
    }

    // Sets each event whose time came, then sleeps until the next is due.
    void Watch() {
        std::unique_lock<std::mutex> hold(lock_);
        while (!ending_) {
            const REFERENCE_TIME now = NowLocked();
            REFERENCE_TIME next = -1;
            for (auto advice = advices_.begin(); advice != advices_.end();) {
                if (advice->second.due <= now) {
                    SetEvent(advice->second.event);
                    advice = advices_.erase(advice);
                } else {
                    if (next < 0 || advice->second.due < next) next = advice->second.due;
                    ++advice;
                }
            }
            if (next < 0) {
                changed_.wait(hold);
            } else {
                // Whole milliseconds, rounded up, so that a wake-up never
                // comes early for good.
                const int64_t milliseconds = (next - now + 9999) / 10000;
                changed_.wait_for(hold, std::chrono::milliseconds(milliseconds));
            }
        }
    }

    std::mutex lock_;
    std::condition_variable changed_;
    std::map<DWORD_PTR, Advice> advices_;
    DWORD_PTR nextCookie_ = 1;
    REFERENCE_TIME latest_ = 0;
    bool ending_ = false;
    std::thread worker_;
};

std::mutex defaultLock;
// Never destroyed: a clock still chosen at exit is not released behind the
// threads that may still read it.
Ref<IReferenceClock>& defaultClock = *new Ref<IReferenceClock>;

void ForgetDefaultClock() { SetDefaultReferenceClock(nullptr); }

const ResetHook kDefaultClockReset(ForgetDefaultClock);

}  // namespace

HRESULT CreateSystemReferenceClock(IReferenceClock** clock) {
    if (clock == nullptr) return E_POINTER;
    return SystemReferenceClock::Create(IID_IReferenceClock, reinterpret_cast<void**>(clock));
}

void SetDefaultReferenceClock(IReferenceClock* clock) {
    Ref<IReferenceClock> held = Ref<IReferenceClock>::Share(clock);
    {
        std::lock_guard<std::mutex> hold(defaultLock);
        std::swap(held, defaultClock);
    }
    // The clock chosen before is let go outside the lock.
}

IReferenceClock* DefaultReferenceClock() {
    {
        std::lock_guard<std::mutex> hold(defaultLock);
        if (defaultClock) return Ref<IReferenceClock>(defaultClock).Detach();
    }
    IReferenceClock* made = nullptr;
    CreateSystemReferenceClock(&made);
    return made;
}

}  // namespace platform::dshow
