// The frame manager's step: the input read, the window's messages and the frame
// rate measured once a second; the timer runs at 1 ms resolution while the
// manager lives.
#include "game/framework/fps_manager.h"

#include "framework/startup/framework_startup.h"
#include "game/framework/input_manager.h"
#include "platform/winmm/winmm.h"

namespace Manager {

CFPSManager* CFPSManager::GetInstance() {
    static CFPSManager instance;
    return &instance;
}

CFPSManager::CFPSManager() { timeBeginPeriod(1); }

CFPSManager::~CFPSManager() { timeEndPeriod(1); }

bool CFPSManager::Update() {
    if (frameHook != nullptr) frameHook(0);
    const bool goOn = UpdateFrame();
    if (frameHook != nullptr) frameHook(1);
    return goOn;
}

bool CFPSManager::UpdateFrame() {
    const unsigned now = timeGetTime();
    ++framesSinceMeasure;
    CInputManager::GetInstance()->Update();
    if (PumpMessagesLocked() < 0) return false;
    // Unsigned differences, so the measure survives the timer wrapping.
    if (now - lastMeasure >= 1000u) {
        framesPerSecond = static_cast<double>(framesSinceMeasure) * 1000.0 / static_cast<double>(now - lastMeasure);
        lastMeasure = now;
        framesSinceMeasure = 0;
    }
    lastUpdate = timeGetTime();
    return true;
}

}  // namespace Manager
