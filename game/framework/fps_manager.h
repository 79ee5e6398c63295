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

protected:
    CFPSManager();
};

}  // namespace Manager
