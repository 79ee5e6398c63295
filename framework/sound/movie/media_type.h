// Media types with their format blocks: a type that owns its block (copies
// are deep), and the calls that copy, free and make the plain structures that
// pins and samples hand across (their memory is CoTaskMemAlloc memory).
#pragma once

#include "platform/dshow/dshow.h"

class K_CMediaType : public AM_MEDIA_TYPE {
public:
    K_CMediaType();
    // A copy of `type` (an empty type when memory runs out).
    explicit K_CMediaType(const AM_MEDIA_TYPE& type);
    K_CMediaType(const K_CMediaType& type);
    K_CMediaType& operator=(const K_CMediaType& type);
    K_CMediaType& operator=(const AM_MEDIA_TYPE& type);
    ~K_CMediaType();

    // Same types and the same format block, byte for byte.
    bool operator==(const K_CMediaType& other) const;
    bool operator!=(const K_CMediaType& other) const { return !(*this == other); }

    // Replaces this type with a copy of `type`; E_OUTOFMEMORY leaves it empty.
    HRESULT Set(const AM_MEDIA_TYPE& type);
    // Back to the empty type, without a format block.
    void Clear();

    // A type with a major type names a kind of data.
    bool IsValid() const;
    // A proposal that leaves the major type, subtype or format type open.
    bool IsPartiallySpecified() const;
    // Whether this type is one that `partial` allows: each of its GUIDs that
    // is not GUID_NULL must match, and so must its format block, if it has one.
    bool MatchesPartial(const K_CMediaType* partial) const;

    const GUID* Type() const { return &majortype; }
    const GUID* Subtype() const { return &subtype; }
    const GUID* FormatType() const { return &formattype; }
    BYTE* Format() const { return pbFormat; }
    ULONG FormatLength() const { return cbFormat; }
    void SetType(const GUID* type) { majortype = *type; }
    void SetSubtype(const GUID* type) { subtype = *type; }
    void SetFormatType(const GUID* type) { formattype = *type; }
    void SetSampleSize(ULONG size);
    void SetTemporalCompression(bool compressed) { bTemporalCompression = compressed ? TRUE : FALSE; }

    // A format block of `length` bytes, zero-filled, replacing the old one;
    // null when memory runs out (the old block is then kept).
    BYTE* AllocFormatBuffer(ULONG length);
    // Copies `length` bytes in as the format block; false when memory runs out.
    bool SetFormat(const BYTE* format, ULONG length);
};

// Frees the format block and releases pUnk; the structure itself stays.
void K_FreeMediaType(AM_MEDIA_TYPE& type);
// Frees the type and the structure (CoTaskMemAlloc memory). Null is allowed.
void K_DeleteMediaType(AM_MEDIA_TYPE* type);
// Deep copy into `target`, which must hold no format block of its own.
HRESULT K_CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);
// A deep copy in CoTaskMemAlloc memory, or null.
AM_MEDIA_TYPE* K_CreateMediaType(const AM_MEDIA_TYPE* source);
