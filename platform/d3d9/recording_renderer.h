// The renderer for tests: it keeps every call its device received, with the
// arguments, the vertices and indices of draws and the result, and makes no
// pixels. It keeps the most recent calls up to 64 MB of them, dropping the
// oldest half beyond that, so that a program left running on it does not
// grow without end. Presenting waits for the vertical blank as the
// presentation interval asks, as a display would. The CPU renderer builds on
// it. Private to platform/d3d9 and its tests.
#pragma once

#include <string>
#include <vector>

#include "platform/d3d9/renderer.h"

namespace platform::d3d9 {

struct RecordedCall {
    std::string name;
    std::vector<CallArgument> arguments;
    std::vector<BYTE> vertices;
    std::vector<BYTE> indices;
    HRESULT result = D3D_OK;

    // The call as text: "SetRenderState(7, 0x1)"; objects read "object" or
    // "null", and a failure adds " = 0x8876086C".
    std::string Text() const;
};

class RecordingRenderer : public Renderer {
public:
    // Whether the renderer keeps the calls (one that builds on this one may
    // keep them only when asked to).
    virtual bool KeepsCalls() const { return true; }
    void Called(const DeviceCall& call) override;

    void Clear(const DeviceState& state, const ClearCall& clear) override {}
    void Draw(const DeviceState& state, const DrawCall& draw) override {}
    HRESULT Present(const PresentCall& present) override;
    void StretchRect(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination, const RECT& destRect,
                     D3DTEXTUREFILTERTYPE filter) override {}
    void UpdateSurface(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination,
                       POINT destPoint) override {}
    void GetRenderTargetData(SurfaceMemory& renderTarget, SurfaceMemory& destination) override {}
    void ColorFill(SurfaceMemory& surface, const RECT& rect, D3DCOLOR color) override {}

    std::vector<RecordedCall>& Calls() { return calls_; }

private:
    static constexpr size_t kMostBytes = size_t{64} << 20;

    void DropOldest();

    std::vector<RecordedCall> calls_;
    size_t bytes_ = 0;  // of the calls kept, as far as it is known (tests clear the list themselves)
};

// The calls kept for a device, oldest first, or null for a device whose
// renderer keeps none (or that is not ours). Tests clear the list as they
// need.
std::vector<RecordedCall>* RecordedCallsOf(IDirect3DDevice9* device);

// The calls' texts, for comparing a run of calls at once.
std::vector<std::string> CallTexts(const std::vector<RecordedCall>& calls);

}  // namespace platform::d3d9
