// The file a graphic was loaded from, kept so that the graphic can be loaded
// again after the device lost its textures. Graphics cut from one file share
// one reference-counted name block.
#pragma once

#include <cstdint>

struct GraphicSourceFileName {
    int32_t referenceCount;
    char path[4];  // the full path, zero-terminated; the block is as long as it needs
};

// Drops the graphic's name (the block goes with its last user). With a file
// name, keeps its full path in a new block; without one, a graphic handle
// as `shareHandle` shares that graphic's name and -1 leaves none. -1 for a bad
// handle, a bad share handle, a path too long or a failed allocation (logged),
// all of which keep the name the graphic had; else 0.
int SetGraphicSourceFileName(int handle, const char* fileName, int shareHandle);
