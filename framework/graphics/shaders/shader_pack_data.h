// Internal to framework/graphics (and its tests): the packed archive block
// that holds the shader pack, as the build tool wrote it into the program.
#pragma once

#include <cstdint>

extern const unsigned char KilnShaderPackArchiveBlock[];
extern const uint32_t KilnShaderPackArchiveBlockSize;

// The block LoadShaderPack unpacks: the program's own, unless a test points
// it at another.
extern const void* ShaderPackArchiveSource;
