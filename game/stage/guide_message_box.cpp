// The guide message box's scenario run, with the stage clock stopped, and the
// wait before it can open again.
#include "game/stage/guide_message_box.h"

#include "game/framework/input_manager.h"
#include "game/framework/senario_object.h"

GuideMessageBox::GuideMessageBox() {
    x = -10000000;
    y = -10000000;
    altX = -10000000;
    altY = -10000000;
}

GuideMessageBox::~GuideMessageBox() {
    delete scenario;
    scenario = nullptr;
    open = false;
}

int GuideMessageBox::Update(IStageClock* clock) {
    if (!open) {
        cooldownCounter += 1;
        if (cooldownCounter > cooldownLimit) {
            cooldownCounter = cooldownLimit;
            if (fadeStep < fadeStepLimit) fadeStep += 1;
        }
        return 1;
    }
    if (scenario != nullptr && scenario->Update(Manager::CInputManager::GetInstance()->heldButtons)) return 0;
    open = false;
    cooldownCounter = 0;
    fadeStep = 0;
    if (clock != nullptr) clock->Restart();
    return 1;
}
