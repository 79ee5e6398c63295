// Checks that shader byte code is well formed: a version token of the right
// kind and of a version from 1.x to 3.0 that the device takes, then
// instructions and comments, then the end token. Private to platform/d3d9.
#pragma once

#include <cstddef>

#include "platform/d3d9/d3d9.h"

namespace platform::d3d9 {

enum class ShaderKind { Vertex, Pixel };

// The number of tokens up to and including the end token, or 0 when the code
// is not well formed or its version is above `highestVersion` (the caps'
// VertexShaderVersion or PixelShaderVersion). The code has no length of its
// own: the walk stops at the first token that cannot be right, at the end
// token, or after a bound far above any real shader.
size_t ShaderTokenCount(const DWORD* code, ShaderKind kind, DWORD highestVersion);

}  // namespace platform::d3d9
