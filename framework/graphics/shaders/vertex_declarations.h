// The vertex declarations that programmable shaders would use: six base
// layouts, each with 0 to 8 four-float texture coordinate sets, and one for
// models. No draw path sets them.
#pragma once

#include "platform/d3d9/d3d9.h"

// The layouts in order: A0, A1, A2 (plain, with one, with two sets of blend
// indices and weights), then B0, B1, B2 (the same with two further normals).
constexpr int kDeclarationLayoutCount = 6;
constexpr int kDeclarationTexCoordVariants = 9;

extern IDirect3DVertexDeclaration9* ShaderVertexDeclarations[kDeclarationLayoutCount][kDeclarationTexCoordVariants];
extern IDirect3DVertexDeclaration9* ModelVertexDeclaration;

// (Re)makes every declaration; a declaration the device refuses stays null.
// Returns 0.
int CreateVertexDeclarations();
// Takes the shaders off the device and releases every declaration. Returns 0.
int ReleaseVertexDeclarations();
