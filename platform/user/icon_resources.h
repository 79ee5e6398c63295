// The icon resources that tests give the program module. Private to the
// platform (and to tests).
#pragma once

#include <cstdint>

#include "platform/win_types.h"

namespace platform {

// Gives the program module an icon resource: LoadIconA(instance, id) then
// returns an icon with these pixels (0xAARRGGBB, rows top down). Forgotten at
// ResetMachine().
void RegisterIconResource(WORD id, int32_t width, int32_t height, const uint32_t* pixels);

}  // namespace platform
