#include "framework/window/menus.h"

#include <cstring>

#include "framework/window/main_window_state.h"
#include "framework/window/mouse.h"
#include "framework/window/window_mode.h"
#include "framework/graphics/device/direct3d_device.h"

namespace {

char SharedItemName[MenuItemNameSize];

}  // namespace

int IsMenuShown() {
    const MainWindowSettings& settings = MainWindow.settings;
    if (MainWindow.windowHandle == nullptr || !settings.menuInUse || settings.menuHidden) return 0;
    return settings.menuAlwaysShown || settings.windowModeFlag || MainWindow.menuHoverState ? 1 : 0;
}

int GetMenuItemInfoByPosition(HMENU menu, int position, MENUITEMINFOA* info) {
    std::memset(info, 0, sizeof(*info));
    info->cbSize = sizeof(*info);
    info->fMask = MIIM_TYPE;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, info)) return -1;
    if (info->fType & MFT_SEPARATOR) return 1;

    std::memset(info, 0, sizeof(*info));
    info->cbSize = sizeof(*info);
    info->fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    info->fType = 0;
    info->dwTypeData = SharedItemName;
    info->cch = sizeof(SharedItemName);
    return GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, info) ? 0 : -1;
}

int CollectMenuItems(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    if (count == -1) return -1;
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info;
        const int read = GetMenuItemInfoByPosition(menu, position, &info);
        if (read == -1) return -1;
        if (read == 1) continue;
        // The table has room for 128 items; a larger menu keeps its first 128.
        if (MainWindow.menuItemCount >= MenuItemTableSize) return 0;
        MenuItemRecord& record = MainWindow.menuItems[MainWindow.menuItemCount++];
        record.menu = menu;
        record.position = static_cast<uint16_t>(position);
        record.id = static_cast<uint16_t>(info.wID);
        CopyTextBounded(record.name, sizeof(record.name), SharedItemName);
        if (info.hSubMenu != nullptr && CollectMenuItems(info.hSubMenu) == -1) return -1;
    }
    return 0;
}

int GetMenuItemNameById(int id, char* buffer) {
    if (!MainWindow.settings.menuInUse) return -1;
    const uint16_t wanted = static_cast<uint16_t>(id & 0xFFFF);
    for (int i = 0; i < MainWindow.menuItemCount; ++i) {
        const MenuItemRecord& record = MainWindow.menuItems[i];
        if (record.id != wanted) continue;
        MENUITEMINFOA info;
        if (GetMenuItemInfoByPosition(record.menu, record.position, &info) != 0) return -1;
        CopyTextBounded(buffer, MenuItemNameSize, SharedItemName);
        return 0;
    }
    return -1;
}

int SetMenuDisplay(int show) {
    MainWindowSettings& settings = MainWindow.settings;
    if (!settings.menuInUse) return 0;
    settings.menuHidden = show == 0 ? 1 : 0;
    HWND window = MainWindow.windowHandle;
    if (window == nullptr) return 0;
    const int shown = IsMenuShown();
    if (shown == MainWindow.menuLastShown) return 0;
    if (shown && !MainWindow.menuAttached) {
        SetMenu(window, settings.menuHandle);
        MainWindow.menuAttached = 1;
    } else if (!shown && MainWindow.menuAttached) {
        SetMenu(window, nullptr);
        MainWindow.menuAttached = 0;
    }
    if (settings.windowModeFlag) UpdateWindowStyleForMode();
    UpdateWindow(window);
    MainWindow.menuLastShown = shown;
    return 0;
}

int UpdateFullScreenMenu() {
    const MainWindowSettings& settings = MainWindow.settings;
    if (settings.windowModeFlag) return 0;
    int mouseX = 0, mouseY = 0;
    GetMouseClientPosition(&mouseX, &mouseY);
    if (IsDirect3DPathInUse()) {
        if (settings.menuHandle != nullptr && !MainWindow.menuAttached) {
            SetMenu(MainWindow.windowHandle, settings.menuHandle);
            MainWindow.menuAttached = 1;
        }
        if (mouseY > 60) SetMouseCursorVisible(MainWindow.cursorVisibleSetting);
        return 0;
    }
    MainWindow.menuHoverState = mouseY < 60 ? 1 : 0;
    ToggleDeviceDialogBoxMode(0);
    SetMouseCursorVisible(MainWindow.cursorVisibleSetting);
    SetMenuDisplay(!settings.menuHidden);
    return 0;
}
