// A guide message box: a map object that plays a short scenario (hints and
// dialogue) when the player walks into it, with the stage clock stopped
// while it runs. After it closes it waits a while before it can open again.
#pragma once

#include "game/stage/map_objects.h"

namespace Object {
class CSenarioObject;
}

// The stage's play-time clock as the boxes stop and start it.
class IStageClock {
public:
    virtual ~IStageClock() = default;
    virtual void Pause() = 0;
    // Runs on from now: the start time becomes the current millisecond count
    // and the paused flag clears.
    virtual void Restart() = 0;
};

class GuideMessageBox : public Item {
public:
    GuideMessageBox();
    GuideMessageBox(const GuideMessageBox&) = delete;
    GuideMessageBox& operator=(const GuideMessageBox&) = delete;
    // Deletes the scenario.
    virtual ~GuideMessageBox();

    // One frame: 1 while closed or on the frame it closes (the clock then
    // runs on), 0 while its scenario is still running.
    int Update(IStageClock* clock);
    // Ready to open: closed, and its cool-down has run out.
    bool Ready() const { return !open && cooldownCounter >= cooldownLimit; }

    Object::CSenarioObject* scenario = nullptr;  // owned; may be null
    bool open = false;
    unsigned cooldownLimit = 180;
    unsigned cooldownCounter = 180;  // ready at once
    // Rises once the cool-down is over; the tile drawing fades the box's
    // marker in by it.
    unsigned fadeStep = 120;
    unsigned fadeStepLimit = 120;
};
