// The display-mode list, read once from the display settings and kept in the
// framework's own memory.
#include "framework/graphics/display_modes.h"

#include "framework/base/tracked_memory.h"
#include "platform/platform.h"

namespace {

DisplayModeEntry* DisplayModes = nullptr;
int DisplayModeCount = -1;  // -1 until listed

void ListDisplayModes() {
    int offered = 0;
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    while (EnumDisplaySettingsA(nullptr, static_cast<DWORD>(offered), &mode)) ++offered;

    DisplayModeCount = 0;
    if (offered == 0) return;
    DisplayModes = static_cast<DisplayModeEntry*>(
        AllocMemory(sizeof(DisplayModeEntry) * static_cast<size_t>(offered), __FILE__, __LINE__));
    if (DisplayModes == nullptr) return;
    for (int index = 0; index < offered; ++index) {
        if (!EnumDisplaySettingsA(nullptr, static_cast<DWORD>(index), &mode)) break;
        if (mode.dmBitsPerPel < 16) continue;
        DisplayModes[DisplayModeCount++] =
            DisplayModeEntry{static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
                             static_cast<int>(mode.dmBitsPerPel), static_cast<int>(mode.dmDisplayFrequency)};
    }
}

}  // namespace

int GetDisplayModeCount() {
    if (DisplayModeCount < 0) ListDisplayModes();
    return DisplayModeCount;
}

DisplayModeEntry GetDisplayModeEntry(int index) {
    if (index < 0 || index >= GetDisplayModeCount()) return DisplayModeEntry{-1, -1, -1, -1};
    return DisplayModes[index];
}

void ForgetDisplayModes() {
    if (DisplayModes != nullptr) FreeMemory(DisplayModes);
    DisplayModes = nullptr;
    DisplayModeCount = -1;
}
