// The memory reader: the asynchronous reader over a memory stream, offering
// the media type it was made with.
#pragma once

#include "framework/sound/movie/async_reader.h"
#include "framework/sound/movie/memory_stream.h"

class K_CMemReader : public AsyncReaderFilter {
public:
    // A reader over `stream` (not owned; it must outlive the reader) whose
    // output offers a copy of `mediaType`; null with E_OUTOFMEMORY when it
    // cannot be made.
    static K_CMemReader* Create(K_CMemStream* stream, const AM_MEDIA_TYPE* mediaType, HRESULT* result);

    K_CMemReader(K_CMemStream* stream, const AM_MEDIA_TYPE* mediaType, HRESULT* result);
};
