// The DirectDraw 7 object: initialisation, the normal cooperative level and
// the vertical blank.
#include "platform/d3d9/direct_draw.h"

#include "platform/d3d9/interface_ids.h"
#include "platform/d3d9/vertical_blank.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"

namespace platform::d3d9 {
namespace {

// NORMAL with the hints a program may add: FPUSETUP, FPUPRESERVE and MULTITHREADED.
constexpr DWORD kCooperativeFlags = DDSCL_NORMAL | 0x0200u | DDSCL_FPUPRESERVE | 0x0400u;

class DirectDraw final : public com::Object<DirectDraw, IDirectDraw7> {
public:
    HRESULT WINAPI Initialize(GUID* driver) override {
        if (initialised_) return DDERR_ALREADYINITIALIZED;
        if (driver != nullptr) return DDERR_INVALIDPARAMS;
        if (Profile().failures.direct3d.initializeDirectDraw) return DDERR_GENERIC;
        initialised_ = true;
        return DD_OK;
    }

    HRESULT WINAPI SetCooperativeLevel(HWND window, DWORD flags) override {
        if (!initialised_) return DDERR_NOTINITIALIZED;
        RECT client{};
        if ((flags & DDSCL_NORMAL) == 0 || (flags & ~kCooperativeFlags) != 0) return DDERR_INVALIDPARAMS;
        if (window != nullptr && !GetClientRect(window, &client)) return DDERR_INVALIDPARAMS;
        return DD_OK;
    }

    HRESULT WINAPI GetVerticalBlankStatus(BOOL* inVerticalBlank) override {
        if (!initialised_) return DDERR_NOTINITIALIZED;
        if (inVerticalBlank == nullptr) return DDERR_INVALIDPARAMS;
        *inVerticalBlank = InVerticalBlank() ? TRUE : FALSE;
        return DD_OK;
    }

    HRESULT WINAPI WaitForVerticalBlank(DWORD flags, HANDLE event) override {
        if (!initialised_) return DDERR_NOTINITIALIZED;
        if (event != nullptr) return DDERR_INVALIDPARAMS;
        switch (flags) {
            case DDWAITVB_BLOCKBEGIN: WaitForVerticalBlankBegin(); return DD_OK;
            case DDWAITVB_BLOCKEND: WaitForVerticalBlankEnd(); return DD_OK;
            case DDWAITVB_BLOCKBEGINEVENT: return DDERR_UNSUPPORTED;
            default: return DDERR_INVALIDPARAMS;
        }
    }

private:
    ~DirectDraw() override = default;

    bool initialised_ = false;
};

}  // namespace

HRESULT CreateDirectDraw7(REFIID iid, void** object) { return DirectDraw::Create(iid, object); }

}  // namespace platform::d3d9
