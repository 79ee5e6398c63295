// The display-mode list, read from the display settings and kept on the
// process heap.
#include "framework/graphics/screen/display_modes.h"

#include "platform/platform.h"

namespace {

DisplayModeRecord* DisplayModes = nullptr;
int DisplayModeCount = 0;
bool DisplayModesListed = false;

bool ReadMode(int index, DEVMODEA* mode) {
    *mode = DEVMODEA{};
    mode->dmSize = sizeof(DEVMODEA);
    return EnumDisplaySettingsA(nullptr, static_cast<DWORD>(index), mode) != FALSE;
}

void ListOnFirstUse() {
    if (DisplayModesListed) return;
    ListDisplayModes(&DisplayModeCount, &DisplayModes);
    DisplayModesListed = true;
}

}  // namespace

void ListDisplayModes(int* count, DisplayModeRecord** list) {
    if (*list != nullptr) HeapFree(GetProcessHeap(), 0, *list);
    *list = nullptr;
    *count = 0;

    DEVMODEA mode;
    int usable = 0;
    for (int index = 0; ReadMode(index, &mode); ++index) {
        if (mode.dmBitsPerPel >= 16) ++usable;
    }
    if (usable == 0) return;
    auto* records = static_cast<DisplayModeRecord*>(
        HeapAlloc(GetProcessHeap(), 0, sizeof(DisplayModeRecord) * static_cast<size_t>(usable)));
    if (records == nullptr) return;

    int listed = 0;
    // The modes are read a second time; a list that grew in between is cut
    // at the room counted the first time.
    for (int index = 0; listed < usable && ReadMode(index, &mode); ++index) {
        if (mode.dmBitsPerPel < 16) continue;
        records[listed++] =
            DisplayModeRecord{static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
                              static_cast<int>(mode.dmBitsPerPel), static_cast<int>(mode.dmDisplayFrequency)};
    }
    *list = records;
    *count = listed;
}

int GetDisplayModeCount() {
    ListOnFirstUse();
    return DisplayModeCount;
}

DisplayModeRecord GetDisplayModeEntry(int index) {
    if (index < 0 || index >= GetDisplayModeCount()) return DisplayModeRecord{-1, -1, -1, -1};
    return DisplayModes[index];
}

int FindDisplayMode(int width, int height, int bits) {
    const int count = GetDisplayModeCount();
    for (int index = 0; index < count; ++index) {
        const DisplayModeRecord& mode = DisplayModes[index];
        if (mode.width == width && mode.height == height && mode.colorBits == bits) return 1;
    }
    return 0;
}

void ForgetDisplayModes() {
    if (DisplayModes != nullptr) HeapFree(GetProcessHeap(), 0, DisplayModes);
    DisplayModes = nullptr;
    DisplayModeCount = 0;
    DisplayModesListed = false;
}
