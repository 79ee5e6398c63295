// The two ways a draw says what its vertices hold: a flexible vertex format
// (FVF) or a vertex declaration. Checks them and gives the bytes one vertex
// needs. Private to platform/d3d9.
#pragma once

#include <vector>

#include "platform/d3d9/d3d9.h"

namespace platform::d3d9 {

// The size in bytes of a vertex of `fvf`, or 0 when the FVF is not valid: it
// needs exactly one position, no bits outside those of the parts, at most
// eight texture coordinate sets, and no normal with pre-transformed (RHW)
// positions.
UINT FvfVertexSize(DWORD fvf);

// The elements of a declaration up to its end element, or false when it is
// not valid: no end within 64 elements, a type, method, usage or stream out
// of range, an offset not on 4 bytes, or a usage and index given twice.
bool ReadDeclaration(const D3DVERTEXELEMENT9* elements, std::vector<D3DVERTEXELEMENT9>& read);

// The bytes a vertex of stream 0 needs under a declaration.
UINT DeclarationStreamZeroSize(const std::vector<D3DVERTEXELEMENT9>& elements);

}  // namespace platform::d3d9
