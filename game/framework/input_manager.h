// The player's input: ten logical buttons pressed by keys and by the first
// joypad, read once per frame into a held-frame count per button.
#pragma once

#include <map>

#include "game/framework/singleton.h"

// The ten logical buttons; keys and joypad bits map onto them.
enum ButtonBits {
    ATTACK = 1,
    JUMP = 2,
    CHANGE = 4,
    KEY_RIGHT = 8,
    KEY_LEFT = 16,
    KEY_UP = 32,
    KEY_DOWN = 64,
    START = 128,
    D_BUTTON = 256,
    L_BUTTON = 512,
};

// One joypad mapping: the pad bits that press a logical button.
struct JoypadPair {
    int mask;
    int button;
};

namespace Manager {

class CInputManager : public CommonClass::CSingleTon {
public:
    struct KeyPair {
        int virtualKey;
        int button;
    };

    static CInputManager* GetInstance();
    virtual ~CInputManager();

    // Reads the keyboard and pad 1 and steps the held-frame counters.
    void Update();
    // The button's held-frame counter is not 0.
    bool GetButton(int bit);

    static bool LoadKeyConfig(const char* path, bool* windowedOut, bool* joypadEnabledOut, int* joyIdOut,
                              JoypadPair pairsOut[10]);

    KeyPair keyboard[10];
    JoypadPair joypad[10];
    std::map<int, int> heldFrames;  // button bit -> frames held, 0 when up
    int heldButtons = 0;            // this frame
    int previousButtons = 0;        // the frame before
    bool joypadEnabled = true;

protected:
    CInputManager();
};

}  // namespace Manager
