// Rebuilding the work buffers that the blits read instead of the pixels: the
// premultiplied-colour plane of an alpha image and the run codes.
#pragma once

#include <cstdint>

struct MemImgBase;

// Every pixel's colour channels multiplied by its alpha (>> 8), the alpha kept
// in its byte. Needs an alpha image with a plane.
void BuildPremultipliedPlane(MemImgBase* base);
// The run codes of the whole image, row after row, each row ending with the
// end-of-row code. Needs colour type 0 or 1 and a run-code buffer. Returns
// the number of bytes written.
int BuildRunCodes(MemImgBase* base);
