// The scenario player: an XML file declares the font, text speed, message
// windows, portraits, music and effects, and names a Shift-JIS script that
// is shown character by character, with page ends, waits for a key, pauses,
// comments and command lines that place and fade pictures and play sounds.
#pragma once

#include <map>

#include "game/framework/object_tree.h"
#include "platform/user/user.h"

namespace Object {

class CSenarioObject : public ILoadableObject {
public:
    struct Fade {
        bool out;
        int step;
    };

    CSenarioObject();
    ~CSenarioObject() override;
    CSenarioObject(const CSenarioObject&) = delete;
    CSenarioObject& operator=(const CSenarioObject&) = delete;

    // Gives back every object, effect and the music; safe to run again.
    void Release() override;
    void Draw() override;
    void UpdateFrame() override;
    // A new scenario player that has loaded nothing.
    IClonableObject* Clone() override;
    // dir is not used. On failure the reason goes to the debugger output and
    // everything loaded so far is given back.
    bool Load(const char* file, const char* dir) override;

    // One frame with the buttons held in it; false once the scenario has
    // ended (the script is done, or a command failed).
    bool Update(int heldButtons);
    // Runs the command line at the read position (which is at its `*`) and
    // moves past it; false when the command is not understood.
    bool ExecuteCommand();
    // Moves every running fade one step; finished fades are dropped.
    void StepFades();
    // Rewinds the script and empties the shown text, so it can play again.
    void ClearFontObjectText();

    char senarioName[256] = {};
    ATOM senarioAtom = 0;
    int previousButtons = 0;
    int advanceMask = 1;
    int textSkipMask = 1;
    int fastForwardMask = 4;
    int fastForwardSteps = 4;
    int charSpeed = 0;
    int charCounter = 0;
    int waitCounter = 0;
    bool pageEnd = false;
    bool waitForInput = false;
    char* scriptText = nullptr;
    unsigned scriptLength = 0;
    unsigned readPosition = 0;
    int fontObjectId = -1;
    std::map<int, int> windows;
    std::map<int, int> pictures;
    std::map<int, ATOM> effects;
    std::map<int, Fade> fades;
    ATOM musicKey = 0;
};

}  // namespace Object
