// The shader pack: a library of compiled vertex and pixel shaders carried in
// the program's own data as a packed, keyed archive holding
// "KilnShaderPack.bin". When a device is made, programmable shaders are
// turned on only when the device offers vertex and pixel shader model 2.0,
// the pack unpacks and the device accepts one vertex and one pixel shader of
// it. No draw sets a pack shader: the flag decides whether shader constants
// reach the device and whether the vertex declarations are made.
#pragma once

#include <cstdint>

#include "framework/archive/archive_reader.h"
#include "platform/d3d9/d3d9.h"

constexpr int kPackVertexShaderRecords = 16384;
constexpr int kPackPixelShaderRecords = 4608;
constexpr int kPackShaderEntries = 6;
// The directories: one record of six 16-bit byte-code sizes per shader
// record, vertex records first; the byte code follows them.
constexpr uint32_t kPackPixelDirectoryOffset = kPackVertexShaderRecords * kPackShaderEntries * 2;
constexpr uint32_t kPackCodeOffset = kPackPixelDirectoryOffset + kPackPixelShaderRecords * kPackShaderEntries * 2;
static_assert(kPackPixelDirectoryOffset == 196608 && kPackCodeOffset == 251904);

// The shaders the set-up makes to see whether the device takes the pack.
constexpr int kTestVertexShaderRecord = 5462;
constexpr int kTestVertexShaderEntry = 2;
constexpr int kTestPixelShaderRecord = 409;
constexpr int kTestPixelShaderEntry = 0;

struct ShaderPackState {
    uint8_t* pack;  // the unpacked pack, or null while not loaded
    uint32_t packSize;
    uint8_t* archiveImage;  // the unpacked archive that holds the pack
    ArchiveRecord archive;
    // Into the pack; null where a size is 0.
    const DWORD* vertexCode[kPackVertexShaderRecords][kPackShaderEntries];
    const DWORD* pixelCode[kPackPixelShaderRecords][kPackShaderEntries];
    IDirect3DVertexShader9* vertexShaders[kPackVertexShaderRecords][kPackShaderEntries];
    IDirect3DPixelShader9* pixelShaders[kPackPixelShaderRecords][kPackShaderEntries];
};
extern ShaderPackState ShaderPack;

// 1 while programmable shaders are on.
extern int ProgrammableShadersOn;

// 1 when the pack is (or already was) loaded, 0 when it could not be.
int LoadShaderPack();
// Decides whether programmable shaders are on, and logs it. Returns 0.
int SetupProgrammableShaders();
// Takes the shaders off the device and releases every pack shader object.
// Returns 0.
int ReleaseShaderPackShaders();
// Closes the archive and frees the pack, as the graphics system ends.
void CloseShaderPack();
