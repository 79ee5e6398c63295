// What a device shares with the resources and the swap chain it made: its
// renderer, its caps and presentation parameters, whether a scene is open and
// whether it is lost. Resources hold it, so they outlive their device safely;
// the device holds the resources bound to it and lets them go when it is
// released, so nothing holds itself. Private to platform/d3d9.
#pragma once

#include <memory>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/renderer.h"

namespace platform::d3d9 {

struct DeviceCore {
    explicit DeviceCore(std::unique_ptr<Renderer> renderer) : renderer(std::move(renderer)) {}

    std::unique_ptr<Renderer> renderer;
    D3DCAPS9 caps{};
    D3DPRESENT_PARAMETERS parameters{};  // as CreateDevice completed them
    HWND deviceWindow = nullptr;
    bool inScene = false;
    // A full-screen device put the display in its mode and puts it back when it goes.
    bool switchedDisplayMode = false;

    // Whether the device is lost: it becomes so at the first call after the
    // machine profile says another program holds the display, and stays so.
    bool Lost();

private:
    bool lost_ = false;
};

}  // namespace platform::d3d9
