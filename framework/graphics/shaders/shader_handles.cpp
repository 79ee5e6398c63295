// Deleting user shaders.
#include "framework/graphics/shaders/shader_handles.h"

#include <cstddef>

#include "framework/graphics/graphics_system.h"
#include "platform/com/com.h"

namespace {
void* ShaderSlots[kShaderSlotCount];
}  // namespace

HandleTable ShaderHandleTable = {
    kShaderHandleKind, kShaderSlotCount, offsetof(ShaderRecord, check), ShaderSlots, 0, 0, 0,
};

int DeleteShaderHandle(int handle) {
    auto* record = static_cast<ShaderRecord*>(GetHandleRecord(&ShaderHandleTable, handle));
    if (record == nullptr) return -1;
    if (record->shader != nullptr) {
        record->shader->Release();
        record->shader = nullptr;
    }
    return ReleaseHandleRecord(&ShaderHandleTable, handle);
}

int DeleteAllShaderHandles() {
    if (!GraphicsSystemUp) return 0;
    return DeleteAllHandles(&ShaderHandleTable, [](int handle, int) { return DeleteShaderHandle(handle); }, 0);
}
