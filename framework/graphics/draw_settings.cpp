// The draw settings' reset, the blend mode and bright colour, the texture
// filter and the options for graphics made from now on.
#include "framework/graphics/draw_settings.h"

#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/models/light_table.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/window/main_window.h"

DrawSettings CurrentDrawSettings;
int Screen320x240Flag = 0;

namespace {

int ClampToByte(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

void UpdateDiffuseColor() { CurrentDrawSettings.diffuseColor = GetDrawDiffuseColor(); }

void StoreBrightColor(int red, int green, int blue) {
    DrawSettings& settings = CurrentDrawSettings;
    settings.brightRed = static_cast<uint8_t>(red);
    settings.brightGreen = static_cast<uint8_t>(green);
    settings.brightBlue = static_cast<uint8_t>(blue);
    settings.brightColor = static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 |
                           static_cast<uint32_t>(blue);
    UpdateDiffuseColor();
}

}  // namespace

int ResetGraphicsSettings() {
    // Every field takes its default; what lives outside the settings (the
    // wait-for-vertical-blank setting, the 320x240 flag, the restore routine,
    // the light table) stays as it is.
    CurrentDrawSettings = DrawSettings{};
    MarkLightsForResend();
    SetDrawBrightnessRGB(255, 255, 255);
    SetFogMode(3);
    SetFogColor(255, 255, 255);
    SetFogStartEnd(0.0f, 1500.0f);
    MaskScreenUseFlag = 1;
    MaskScreenEffectiveFlag = 0;

    CurrentDrawSettings.drawTarget = -2;
    SelectDrawTarget(-4);
    int width = 0, height = 0;
    GetDrawTargetSize(&width, &height);
    SetDrawAreaRect(0, 0, width, height);

    // A reset that runs again replaces the default light instead of adding
    // one more light to every lit draw.
    if (DefaultLightHandle != -1) RemoveLight(DefaultLightHandle);
    DefaultLightHandle = CreateDirectionalLight(1.0f, -1.0f, 1.0f);
    return 0;
}

int SetBlendModeAndParam(int mode, int param) {
    WaitWhileInactive();
    param = ClampToByte(param);
    DrawSettings& settings = CurrentDrawSettings;
    if (settings.blendMode == mode && settings.blendParam == param) return 0;
    settings.blendMode = mode;
    settings.blendParam = param;
    UpdateDiffuseColor();
    return 0;
}

int SetDrawBrightnessRGB(int red, int green, int blue) {
    const DrawSettings& settings = CurrentDrawSettings;
    if (settings.brightRed == red && settings.brightGreen == green && settings.brightBlue == blue) return 0;
    StoreBrightColor(ClampToByte(red), ClampToByte(green), ClampToByte(blue));
    return 0;
}

void SetDrawBrightnessColor(uint32_t color) {
    color &= 0x00FFFFFFu;
    if (CurrentDrawSettings.brightColor == color) return;
    StoreBrightColor(static_cast<int>(color >> 16), static_cast<int>(color >> 8 & 0xFF),
                     static_cast<int>(color & 0xFF));
}

uint32_t GetDrawBrightColor() { return CurrentDrawSettings.brightColor; }

uint32_t GetDrawDiffuseColor() {
    const DrawSettings& settings = CurrentDrawSettings;
    const uint32_t alpha =
        settings.blendMode != kBlendModeNone ? static_cast<uint32_t>(settings.blendParam) & 0xFF : 255;
    return alpha << 24 | static_cast<uint32_t>(settings.brightRed) << 16 |
           static_cast<uint32_t>(settings.brightGreen) << 8 | settings.brightBlue;
}

int SetTextureFilterMode(int mode) {
    if (CurrentDrawSettings.filterMode == mode) return 0;
    CurrentDrawSettings.filterMode = mode;
    if (IsDirect3DPathInUse()) SetDeviceSamplerFilter(mode);
    return 0;
}

int GetTextureFilterMode() { return CurrentDrawSettings.filterMode; }

int SetNewGraphColorDepth(int depth) {
    CurrentDrawSettings.newGraphColorDepth = depth;
    return 0;
}
int GetNewGraphColorDepth() { return CurrentDrawSettings.newGraphColorDepth; }

int SetNewGraphDrawTargetFlag(int flag) {
    CurrentDrawSettings.newGraphDrawTarget = flag;
    return 0;
}
int GetNewGraphDrawTargetFlag() { return CurrentDrawSettings.newGraphDrawTarget; }

int SetNewGraphTransFlag(int flag) {
    CurrentDrawSettings.newGraphTransFlag = flag;
    return 0;
}
int GetNewGraphTransFlag() { return CurrentDrawSettings.newGraphTransFlag; }

int SetNewGraphAlphaFlag(int flag) {
    CurrentDrawSettings.newGraphAlphaFlag = flag;
    return 0;
}
int GetNewGraphAlphaFlag() { return CurrentDrawSettings.newGraphAlphaFlag; }

int SetNewGraphUnmanagedFlag(int flag) {
    CurrentDrawSettings.newGraphUnmanaged = flag;
    return 0;
}
int GetNewGraphUnmanagedFlag() { return CurrentDrawSettings.newGraphUnmanaged; }

uint32_t GetDrawTransparentColor() { return CurrentDrawSettings.transparentColor; }

int SetDrawTransparentColor(uint32_t color) {
    CurrentDrawSettings.transparentColor = color & 0x00FFFFFFu;
    return 0;
}

int SetScreen320x240Flag(int flag) {
    Screen320x240Flag = flag;
    return 0;
}
