// The two force-feedback effects a pad can play, through SDL2's rumble: a
// constant force drives the low-frequency motor, a sine the high-frequency
// one, each at its magnitude times its gain. Envelopes, periods and
// directions shape nothing on a rumble motor and are only checked.
#include <algorithm>
#include <cstdlib>

#include "platform/dinput/input_objects.h"

namespace platform::dinput {
namespace {

enum class EffectKind { ConstantForce, Sine };

class Effect final : public com::Object<Effect, IDirectInputEffect> {
public:
    Effect(std::shared_ptr<DeviceRecord> device, EffectKind kind, DWORD strength)
        : device_(std::move(device)), kind_(kind), strength_(strength) {}

    HRESULT WINAPI Start(DWORD iterations, DWORD /*flags*/) override {
        DeviceRecord& device = *device_;
        if (device.released) return DIERR_INPUTLOST;
        if (iterations == 0) return DIERR_INVALIDPARAM;
        // Only the program that holds the pad for itself may shake it.
        if (!device.acquired || !(device.cooperativeLevel & DISCL_EXCLUSIVE)) return DIERR_NOTEXCLUSIVEACQUIRED;
        Strength() = strength_;
        UpdateRumble(device);
        return DI_OK;
    }

    HRESULT WINAPI Stop() override {
        DeviceRecord& device = *device_;
        if (device.released) return DI_OK;
        if (Strength() == 0) return DI_OK;
        Strength() = 0;
        UpdateRumble(device);
        return DI_OK;
    }

private:
    // An effect stops playing when its last reference goes.
    ~Effect() override { Stop(); }

    DWORD& Strength() {
        return kind_ == EffectKind::ConstantForce ? device_->constantForceStrength : device_->sineStrength;
    }

    std::shared_ptr<DeviceRecord> device_;
    EffectKind kind_;
    DWORD strength_;
};

bool AxesExist(const DeviceRecord& device, const DIEFFECT& effect) {
    if (effect.cAxes == 0 || effect.cAxes > 2 || effect.rgdwAxes == nullptr) return false;
    for (DWORD i = 0; i < effect.cAxes; ++i) {
        bool found = false;
        for (int axis = 0; axis < std::min(device.pad.axes, MaxAxes); ++axis)
            found = found || AxisOffsets[axis] == effect.rgdwAxes[i];
        if (!found) return false;
    }
    return true;
}

}  // namespace

HRESULT CreateEffect(const std::shared_ptr<DeviceRecord>& device, REFGUID effectType, LPCDIEFFECT effect,
                     LPDIRECTINPUTEFFECT* created) {
    if (device->kind != DeviceKind::Joystick || !device->pad.rumble) return DIERR_UNSUPPORTED;
    if (effect == nullptr || effect->dwSize != sizeof(DIEFFECT)) return DIERR_INVALIDPARAM;
    if (!(effect->dwFlags & DIEFF_OBJECTOFFSETS) || !AxesExist(*device, *effect)) return DIERR_INVALIDPARAM;
    if (!(effect->dwFlags & (DIEFF_CARTESIAN | DIEFF_POLAR | DIEFF_SPHERICAL)) || effect->rglDirection == nullptr)
        return DIERR_INVALIDPARAM;
    if (effect->lpEnvelope != nullptr && effect->lpEnvelope->dwSize != sizeof(DIENVELOPE)) return DIERR_INVALIDPARAM;
    const DWORD gain = std::min<DWORD>(effect->dwGain, DI_FFNOMINALMAX);
    EffectKind kind;
    DWORD magnitude = 0;
    if (IsEqualGUID(effectType, GUID_ConstantForce)) {
        if (effect->cbTypeSpecificParams != sizeof(DICONSTANTFORCE) || effect->lpvTypeSpecificParams == nullptr)
            return DIERR_INVALIDPARAM;
        kind = EffectKind::ConstantForce;
        magnitude = static_cast<DWORD>(
            std::abs(static_cast<const DICONSTANTFORCE*>(effect->lpvTypeSpecificParams)->lMagnitude));
    } else if (IsEqualGUID(effectType, GUID_Sine)) {
        if (effect->cbTypeSpecificParams != sizeof(DIPERIODIC) || effect->lpvTypeSpecificParams == nullptr)
            return DIERR_INVALIDPARAM;
        kind = EffectKind::Sine;
        magnitude = static_cast<const DIPERIODIC*>(effect->lpvTypeSpecificParams)->dwMagnitude;
    } else {
        return DIERR_UNSUPPORTED;
    }
    const DWORD strength = std::min<DWORD>(magnitude, DI_FFNOMINALMAX) * gain / DI_FFNOMINALMAX;
    *created = new Effect(device, kind, strength);
    return DI_OK;
}

}  // namespace platform::dinput
