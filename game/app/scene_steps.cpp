// The small steps that the scenes share, over the input and frame managers and
// the platform's message box.
#include "game/app/scene_steps.h"

#include "framework/graphics/graphics.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "platform/user/user.h"

bool ButtonJustPressed(int button) { return Manager::CInputManager::GetInstance()->heldFrames[button] == 1; }

bool PresentAndEndFrame() {
    PresentBackBuffer();
    return Manager::CFPSManager::GetInstance()->Update();
}

void ShowLoadFailure(const char* text) {
    MessageBoxA(nullptr, text, nullptr, MB_ICONHAND);
    PostQuitMessage(1);
}

void SetBrightness(int brightness) { SetDrawBrightnessRGB(brightness, brightness, brightness); }
