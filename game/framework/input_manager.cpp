// The input manager's default keys and pad buttons and its per-frame read; the
// key configuration file is read with the other options.
#include "game/framework/input_manager.h"

#include "framework/input/keyboard_joypad_state.h"
#include "platform/user/user.h"

namespace Manager {

CInputManager* CInputManager::GetInstance() {
    static CInputManager instance;
    return &instance;
}

CInputManager::CInputManager()
    : keyboard{{38, KEY_UP},  {40, KEY_DOWN}, {37, KEY_LEFT}, {39, KEY_RIGHT}, {90, ATTACK},
               {88, JUMP},    {67, CHANGE},   {27, START},    {83, D_BUTTON},  {65, L_BUTTON}},
      joypad{{8, KEY_UP},  {1, KEY_DOWN},  {2, KEY_LEFT},    {4, KEY_RIGHT},     {16, ATTACK},
             {32, JUMP},   {64, CHANGE},   {4096, START},    {16384, D_BUTTON},  {32768, L_BUTTON}} {
    for (const KeyPair& pair : keyboard) heldFrames[pair.button] = 0;
}

CInputManager::~CInputManager() = default;

void CInputManager::Update() {
    std::map<int, int> down;
    for (int i = 0; i < 10; ++i) {
        if (GetKeyState(keyboard[i].virtualKey) & 0x8000) down[keyboard[i].button] = 1;
        if (joypadEnabled && (ReadJoypadButtons(1) & joypad[i].mask) != 0) down[joypad[i].button] = 1;
    }
    previousButtons = heldButtons;
    heldButtons = 0;
    for (auto& [button, frames] : heldFrames) {
        frames = down.count(button) != 0 ? frames + 1 : 0;
        if (frames != 0) heldButtons |= button;
    }
}

bool CInputManager::GetButton(int bit) {
    auto found = heldFrames.find(bit);
    return found != heldFrames.end() && found->second != 0;
}

}  // namespace Manager
