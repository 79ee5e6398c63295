// The seam between a device's own logic (states, resources, validation,
// scenes, loss) and what makes pixels. The device checks every call and keeps
// every state itself, then hands the renderer only what reaches the screen
// or moves pixels: clears, draws, copies between surfaces and presents, each
// already validated, with the state in force. Surfaces keep their bytes in
// memory (platform/d3d9/surface_memory.h); a renderer that keeps copies of
// its own brings the bytes up to date before the device touches them
// (SyncForCpu) and takes them again when their generation has moved on.
// Every device call also reaches Called, for renderers that keep them.
// Private to platform/d3d9.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/surface_memory.h"

namespace platform::d3d9 {

struct DeviceState;

// One argument of a device call as it is kept: a number shown in decimal or
// in hexadecimal, a real number, or an object (a resource, a window).
struct CallArgument {
    enum class Kind { Integer, Hex, Real, Object };
    Kind kind;
    int64_t integer;
    double real;
    const void* object;
};

inline CallArgument Int(int64_t value) { return CallArgument{CallArgument::Kind::Integer, value, 0, nullptr}; }
inline CallArgument Hex(uint64_t value) {
    return CallArgument{CallArgument::Kind::Hex, static_cast<int64_t>(value), 0, nullptr};
}
inline CallArgument Real(double value) { return CallArgument{CallArgument::Kind::Real, 0, value, nullptr}; }
inline CallArgument Obj(const void* object) { return CallArgument{CallArgument::Kind::Object, 0, 0, object}; }

// A call the device received, with its result. The spans are only valid
// during the Called call.
struct DeviceCall {
    const char* name;  // the member, such as "SetRenderState"; the swap chain's as "SwapChain.Present"
    std::span<const CallArgument> arguments;
    std::span<const BYTE> vertices;  // a draw's vertices
    std::span<const BYTE> indices;   // an indexed draw's indices
    HRESULT result;
};

// A draw from memory, checked: the vertices cover every index.
struct DrawCall {
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    const BYTE* vertices;  // vertex 0
    UINT stride;
    UINT vertexCount;  // vertices from `firstVertex` on that the draw reads
    UINT firstVertex;
    const void* indices;  // null for a draw without indices
    D3DFORMAT indexFormat;
    UINT indexCount;
};

struct ClearCall {
    DWORD rectCount;
    const D3DRECT* rects;  // null when the whole viewport is cleared
    DWORD flags;
    D3DCOLOR color;
    float z;
    DWORD stencil;
};

struct PresentCall {
    SurfaceMemory& backBuffer;
    const RECT* sourceRect;  // null: the whole back buffer
    const RECT* destRect;    // null: the whole client area
    HWND window;
    bool windowed;
    UINT interval;  // D3DPRESENT_INTERVAL_ONE or _IMMEDIATE (DEFAULT is given as ONE)
};

class Renderer {
public:
    virtual ~Renderer() = default;

    virtual void Called(const DeviceCall& call) {}
    // Before the device reads or writes a surface's bytes (a lock).
    virtual void SyncForCpu(SurfaceMemory& surface) {}
    // A surface's bytes go away.
    virtual void Released(SurfaceMemory& surface) {}

    virtual void Clear(const DeviceState& state, const ClearCall& clear) = 0;
    virtual void Draw(const DeviceState& state, const DrawCall& draw) = 0;
    virtual HRESULT Present(const PresentCall& present) = 0;

    // Copies between surfaces, checked: the rectangles lie inside their
    // surfaces, neither surface is locked.
    virtual void StretchRect(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination,
                             const RECT& destRect, D3DTEXTUREFILTERTYPE filter) = 0;
    // Same format, same size of rectangle.
    virtual void UpdateSurface(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination,
                               POINT destPoint) = 0;
    // Same format, same size.
    virtual void GetRenderTargetData(SurfaceMemory& renderTarget, SurfaceMemory& destination) = 0;
    virtual void ColorFill(SurfaceMemory& surface, const RECT& rect, D3DCOLOR color) = 0;
};

// The renderer the machine profile names for a new device that presents
// into `deviceWindow`, or null when it cannot be had (the device is then not
// made).
std::unique_ptr<Renderer> MakeRenderer(HWND deviceWindow);

}  // namespace platform::d3d9
