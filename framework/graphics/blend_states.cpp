// Stand-in until the blend states of a hardware draw are built.
// No blend state is sent yet: the marks are taken as seen.
#include "framework/graphics/blend_states.h"

#include "framework/graphics/device_state_cache.h"

int ApplyDrawBlendStates() {
    DeviceStates.statesDirty = 0;
    DeviceStates.textureDirty = 0;
    return 0;
}
