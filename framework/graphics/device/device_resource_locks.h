// Device resources locked for the CPU for the length of a scope: a texture
// level (or a rectangle of it) and a whole vertex or index buffer. What was
// locked is unlocked on every way out of the scope; a lock that failed is
// not unlocked.
#pragma once

#include "platform/d3d9/d3d9.h"

class LockedTextureLevel {
public:
    // `rect` null locks the whole level.
    [[nodiscard]] LockedTextureLevel(IDirect3DTexture9* texture, UINT level, const RECT* rect, DWORD flags)
        : texture_(texture), level_(level), result_(texture->LockRect(level, &locked_, rect, flags)) {}
    ~LockedTextureLevel() {
        if (held()) texture_->UnlockRect(level_);
    }
    LockedTextureLevel(const LockedTextureLevel&) = delete;
    LockedTextureLevel& operator=(const LockedTextureLevel&) = delete;

    bool held() const { return result_ == D3D_OK; }
    void* bits() const { return locked_.pBits; }
    INT pitch() const { return locked_.Pitch; }

private:
    IDirect3DTexture9* texture_;
    UINT level_;
    D3DLOCKED_RECT locked_{};
    HRESULT result_;
};

// `Buffer` is IDirect3DVertexBuffer9 or IDirect3DIndexBuffer9.
template <class Buffer>
class LockedBuffer {
public:
    [[nodiscard]] explicit LockedBuffer(Buffer* buffer, DWORD flags = 0)
        : buffer_(buffer), result_(buffer->Lock(0, 0, &data_, flags)) {}
    ~LockedBuffer() {
        if (held()) buffer_->Unlock();
    }
    LockedBuffer(const LockedBuffer&) = delete;
    LockedBuffer& operator=(const LockedBuffer&) = delete;

    bool held() const { return SUCCEEDED(result_); }
    void* data() const { return data_; }

private:
    Buffer* buffer_;
    void* data_ = nullptr;
    HRESULT result_;
};
