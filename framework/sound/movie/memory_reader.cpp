// Making a memory reader with its media type.
#include "framework/sound/movie/memory_reader.h"

#include <new>

K_CMemReader* K_CMemReader::Create(K_CMemStream* stream, const AM_MEDIA_TYPE* mediaType, HRESULT* result) {
    HRESULT made = S_OK;
    K_CMemReader* reader = nullptr;
    if (stream == nullptr || mediaType == nullptr) {
        made = E_POINTER;
    } else {
        reader = new (std::nothrow) K_CMemReader(stream, mediaType, &made);
        if (reader == nullptr) made = E_OUTOFMEMORY;
        if (reader != nullptr && FAILED(made)) {
            reader->Release();
            reader = nullptr;
        }
    }
    if (result != nullptr) *result = made;
    return reader;
}

K_CMemReader::K_CMemReader(K_CMemStream* stream, const AM_MEDIA_TYPE* mediaType, HRESULT* result)
    : AsyncReaderFilter("Mem Reader", nullptr, stream, result) {
    if (mediaType_.Set(*mediaType) != S_OK && result != nullptr) *result = E_OUTOFMEMORY;
}
