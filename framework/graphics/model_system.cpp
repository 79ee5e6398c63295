// Stand-in until the 3D model system is built.
// No model can be made yet, so there are never buffers to drop.
#include "framework/graphics/model_system.h"

#include "framework/graphics/direct3d_device.h"

namespace {
int ModelSystemStarted = 0;
}

int StartModelSystem() {
    if (!IsDirect3DPathInUse() || ModelSystemStarted) return 0;
    ModelSystemStarted = 1;
    return 0;
}

int RemoveAllModels() {
    ModelSystemStarted = 0;
    return 0;
}

int DropAllModelBuffers() { return 0; }

int BuildAllModelBuffers() { return 0; }

int ReloadModelTextures() { return 0; }
