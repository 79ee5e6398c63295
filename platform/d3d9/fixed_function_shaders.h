// The GLSL 1.20 shaders that do what Direct3D 9's fixed-function pipeline
// does for a key: the vertex shader places pre-transformed vertices with
// pixel centres on whole coordinates (or transforms the others), passes the
// colours and texture coordinates (through the texture transforms) and the
// fog factor on; the fragment shader runs the texture stages, adds the
// specular colour, fogs and runs the alpha test.
//
// Attribute locations and uniform names are fixed, so that the program
// cache binds and finds them: see the constants below. Private to
// platform/d3d9.
#pragma once

#include <string>

#include "platform/d3d9/fixed_function_key.h"

namespace platform::d3d9 {

namespace attribute {
constexpr unsigned kPosition = 0;
constexpr unsigned kDiffuse = 1;
constexpr unsigned kSpecular = 2;
constexpr unsigned kTexCoord0 = 3;  // to kTexCoord0 + 7
}  // namespace attribute

// The uniforms, by name:
//   uScreen (vec4): pre-transformed positions: x * s.x + s.z, y * s.y + s.w
//       is the position in normalised coordinates of the pixel centre's point
//   uWorldViewProjection (mat4), uPixel (vec2): other positions, and the
//       half-pixel shift in normalised coordinates
//   uDepthBias (float)
//   uTextureMatrix0 to 7 (mat4): the stages' texture transforms
//   uWorldView (mat4), uFog (vec3: end, 1 / (end - start), density)
//   uTexture0 to 7 (sampler2D), uFactor (vec4), uFogColour (vec3),
//   uAlphaReference (float, 0 to 255)
struct FixedFunctionSources {
    std::string vertex;
    std::string fragment;
};

FixedFunctionSources FixedFunctionShaders(const FixedFunctionKey& key);

}  // namespace platform::d3d9
