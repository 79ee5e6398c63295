// Shader handles: the user vertex and pixel shaders kept under handles
// (kind 0x78000000, 4096 slots), of which the framework holds the deletion.
#pragma once

#include <cstdint>

#include "framework/base/handle_table.h"

struct IUnknown;

constexpr int kShaderHandleKind = 0x78000000;
constexpr int kShaderSlotCount = 4096;

struct ShaderRecord {
    int check;            // the check value the record was made with
    int handle;           // the record's own handle value
    int pixelShader;      // 1: a pixel shader, 0: a vertex shader
    IUnknown* shader;     // the device's shader object, or null while there is none
    uint32_t codeSize;    // bytes of byte code
    const void* byteCode; // in the record's own block; makes the object again on a new device
};

extern HandleTable ShaderHandleTable;

// Releases the shader object and frees the record; -1 for a bad handle.
int DeleteShaderHandle(int handle);
// Deletes every shader while the graphics system is up; returns 0.
int DeleteAllShaderHandles();
