// The frame manager: every scene loop ends each drawn frame through it, and its
// false answer ends the program.
#pragma once

#include "game/framework/singleton.h"

namespace Manager {

// Ends every scene frame: counts it, refreshes the input manager, pumps the
// window's messages and measures the frame rate once a second.
class CFPSManager : public CommonClass::CSingleTon {
public:
    static CFPSManager* GetInstance();
    virtual ~CFPSManager();

    // False once the program must end.
    bool Update();

    unsigned lastUpdate = 0;
    unsigned lastMeasure = 0;
    unsigned framesSinceMeasure = 0;
    double framesPerSecond = 0.0;
    int nominalRate = 60;

    // A test seam, unset in the game: called with 0 as Update begins and
    // with 1 as it returns, so that a test can step its clock and its
    // scripted input once per frame.
    static inline void (*frameHook)(int phase) = nullptr;

protected:
    CFPSManager();

private:
    bool UpdateFrame();
};

}  // namespace Manager
