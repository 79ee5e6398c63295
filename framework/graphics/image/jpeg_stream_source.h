// Internal to framework/graphics/image (and its tests): libjpeg's input from
// a stream source, and the error handling that jumps back to the decoder.
#pragma once

// libjpeg's header expects FILE and size_t to be declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <csetjmp>

#include "framework/files/stream_functions.h"

// The library's standard error manager whose error exit jumps back to the
// decoder through `jump`.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

// Jumps back with the value 1, printing nothing: every image is offered to
// each decoder in turn, so a PNG read as JPEG must fail quietly, not write
// "Not a JPEG file" to the terminal at every load.
void JpegErrorExit(j_common_ptr cinfo);

// Gives the decompress object a source manager that reads the stream from
// its current position in blocks of 4096 bytes. A stream that ends before
// the image does ends it with an inserted end-of-image marker (after the
// library's premature-end warning); an empty one is the library's
// input-empty error.
void SetJpegStreamSource(j_decompress_ptr cinfo, const StreamSource* source);
