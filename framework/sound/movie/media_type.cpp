// Media types: deep copies of their format blocks, comparison and matching.
#include "framework/sound/movie/media_type.h"

#include <cstring>

namespace {

void MakeEmpty(AM_MEDIA_TYPE& type) {
    std::memset(&type, 0, sizeof(type));
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = 1;
}

}  // namespace

void K_FreeMediaType(AM_MEDIA_TYPE& type) {
    if (type.cbFormat != 0 || type.pbFormat != nullptr) CoTaskMemFree(type.pbFormat);
    type.cbFormat = 0;
    type.pbFormat = nullptr;
    if (type.pUnk != nullptr) {
        type.pUnk->Release();
        type.pUnk = nullptr;
    }
}

void K_DeleteMediaType(AM_MEDIA_TYPE* type) {
    if (type == nullptr) return;
    K_FreeMediaType(*type);
    CoTaskMemFree(type);
}

HRESULT K_CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source) {
    if (target == nullptr || source == nullptr) return E_POINTER;
    *target = *source;
    target->pbFormat = nullptr;
    target->cbFormat = 0;
    if (source->cbFormat != 0 && source->pbFormat != nullptr) {
        target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source->cbFormat));
        if (target->pbFormat == nullptr) {
            target->pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(target->pbFormat, source->pbFormat, source->cbFormat);
        target->cbFormat = source->cbFormat;
    }
    if (target->pUnk != nullptr) target->pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* K_CreateMediaType(const AM_MEDIA_TYPE* source) {
    if (source == nullptr) return nullptr;
    auto* made = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (made == nullptr) return nullptr;
    if (FAILED(K_CopyMediaType(made, source))) {
        CoTaskMemFree(made);
        return nullptr;
    }
    return made;
}

K_CMediaType::K_CMediaType() : AM_MEDIA_TYPE() { MakeEmpty(*this); }

K_CMediaType::K_CMediaType(const AM_MEDIA_TYPE& type) : AM_MEDIA_TYPE() {
    MakeEmpty(*this);
    Set(type);
}

K_CMediaType::K_CMediaType(const K_CMediaType& type) : AM_MEDIA_TYPE() {
    MakeEmpty(*this);
    Set(type);
}

K_CMediaType& K_CMediaType::operator=(const K_CMediaType& type) {
    if (this != &type) Set(type);
    return *this;
}

K_CMediaType& K_CMediaType::operator=(const AM_MEDIA_TYPE& type) {
    if (this != &type) Set(type);
    return *this;
}

K_CMediaType::~K_CMediaType() { K_FreeMediaType(*this); }

HRESULT K_CMediaType::Set(const AM_MEDIA_TYPE& type) {
    if (&type == this) return S_OK;
    K_FreeMediaType(*this);
    const HRESULT result = K_CopyMediaType(this, &type);
    if (FAILED(result)) MakeEmpty(*this);
    return result;
}

void K_CMediaType::Clear() {
    K_FreeMediaType(*this);
    MakeEmpty(*this);
}

bool K_CMediaType::operator==(const K_CMediaType& other) const {
    if (!IsEqualGUID(majortype, other.majortype) || !IsEqualGUID(subtype, other.subtype) ||
        !IsEqualGUID(formattype, other.formattype) || cbFormat != other.cbFormat)
        return false;
    return cbFormat == 0 || std::memcmp(pbFormat, other.pbFormat, cbFormat) == 0;
}

bool K_CMediaType::IsValid() const { return !IsEqualGUID(majortype, GUID_NULL); }

bool K_CMediaType::IsPartiallySpecified() const {
    return IsEqualGUID(majortype, GUID_NULL) || IsEqualGUID(subtype, GUID_NULL) ||
           IsEqualGUID(formattype, GUID_NULL);
}

bool K_CMediaType::MatchesPartial(const K_CMediaType* partial) const {
    if (partial == nullptr) return true;
    if (!IsEqualGUID(partial->majortype, GUID_NULL) && !IsEqualGUID(partial->majortype, majortype)) return false;
    if (!IsEqualGUID(partial->subtype, GUID_NULL) && !IsEqualGUID(partial->subtype, subtype)) return false;
    if (!IsEqualGUID(partial->formattype, GUID_NULL)) {
        if (!IsEqualGUID(partial->formattype, formattype)) return false;
        if (partial->cbFormat != 0) {
            if (partial->cbFormat != cbFormat) return false;
            if (std::memcmp(partial->pbFormat, pbFormat, cbFormat) != 0) return false;
        }
    }
    return true;
}

void K_CMediaType::SetSampleSize(ULONG size) {
    lSampleSize = size;
    bFixedSizeSamples = size != 0 ? TRUE : FALSE;
}

BYTE* K_CMediaType::AllocFormatBuffer(ULONG length) {
    if (length == 0) {
        CoTaskMemFree(pbFormat);
        pbFormat = nullptr;
        cbFormat = 0;
        return nullptr;
    }
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(length));
    if (block == nullptr) return nullptr;
    std::memset(block, 0, length);
    CoTaskMemFree(pbFormat);
    pbFormat = block;
    cbFormat = length;
    return block;
}

bool K_CMediaType::SetFormat(const BYTE* format, ULONG length) {
    if (length == 0) {
        AllocFormatBuffer(0);
        return true;
    }
    BYTE* block = AllocFormatBuffer(length);
    if (block == nullptr) return false;
    std::memcpy(block, format, length);
    return true;
}
