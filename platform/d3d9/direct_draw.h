// The DirectDraw 7 class behind CoCreateInstance(CLSID_DirectDraw7). Private
// to platform/d3d9.
#pragma once

#include "platform/com/com.h"

namespace platform::d3d9 {

HRESULT CreateDirectDraw7(REFIID iid, void** object);

}  // namespace platform::d3d9
