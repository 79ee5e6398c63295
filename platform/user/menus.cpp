// Menus as records: making them, attaching one to a window, and reading
// their items back.
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/kernel/kernel.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

// The record's sizes in the 32-bit layouts (with and without hbmpItem).
constexpr UINT kMenuItemInfoSize32 = 48;
constexpr UINT kMenuItemInfoSize32WithoutBitmap = 44;

constexpr UINT kStateGrayed = 0x0003;
constexpr UINT kStateChecked = 0x0008;

struct MenuItem {
    UINT type = MFT_STRING;
    UINT state = 0;
    UINT id = 0;
    HMENU submenu = nullptr;
    std::string text;
};

struct MenuRecord {
    std::vector<MenuItem> items;
};

std::map<HMENU, MenuRecord>& MenusLocked() {
    static auto* menus = new std::map<HMENU, MenuRecord>;  // guarded by WindowLock()
    return *menus;
}

MenuRecord* FindMenuLocked(HMENU menu) {
    auto found = MenusLocked().find(menu);
    return found != MenusLocked().end() ? &found->second : nullptr;
}

HMENU NewMenu() {
    HMENU menu = static_cast<HMENU>(NewUserHandle());
    std::lock_guard<std::mutex> guard(WindowLock());
    MenusLocked()[menu];
    return menu;
}

// Depth first, as the item would be found by its command.
const MenuItem* FindItemByIdLocked(HMENU menu, UINT id, int depth = 0) {
    const MenuRecord* record = FindMenuLocked(menu);
    if (record == nullptr || depth > 64) return nullptr;  // a menu that contains itself ends here
    for (const MenuItem& item : record->items) {
        if (item.submenu == nullptr && item.type != MFT_SEPARATOR && item.id == id) return &item;
        if (item.submenu != nullptr)
            if (const MenuItem* inner = FindItemByIdLocked(item.submenu, id, depth + 1)) return inner;
    }
    return nullptr;
}

void DestroyMenuLocked(HMENU menu, int depth = 0) {
    auto found = MenusLocked().find(menu);
    if (found == MenusLocked().end() || depth > 64) return;
    std::vector<HMENU> submenus;
    for (const MenuItem& item : found->second.items)
        if (item.submenu != nullptr) submenus.push_back(item.submenu);
    MenusLocked().erase(found);
    for (HMENU submenu : submenus) DestroyMenuLocked(submenu, depth + 1);
}

// Copies the text as GetMenuItemInfoA does: at most cch - 1 bytes and a
// terminator; cch becomes the number of bytes copied (or the length, when
// there is no buffer).
void CopyItemText(const MenuItem& item, MENUITEMINFOA& info) {
    const UINT length = static_cast<UINT>(item.text.size());
    if (info.dwTypeData == nullptr || info.cch == 0) {
        info.cch = length;
        return;
    }
    const UINT copied = std::min(length, info.cch - 1);
    std::memcpy(info.dwTypeData, item.text.data(), copied);
    info.dwTypeData[copied] = '\0';
    info.cch = copied;
}

}  // namespace

void DestroyAllMenus() {
    std::lock_guard<std::mutex> guard(WindowLock());
    MenusLocked().clear();
}

}  // namespace platform::detail

using namespace platform::detail;

HMENU WINAPI CreateMenu(void) { return NewMenu(); }

HMENU WINAPI CreatePopupMenu(void) { return NewMenu(); }

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR itemId, LPCSTR text) {
    std::lock_guard<std::mutex> guard(WindowLock());
    MenuRecord* record = FindMenuLocked(menu);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    MenuItem item;
    item.state = ((flags & (MF_GRAYED | MF_DISABLED)) ? kStateGrayed : 0) | ((flags & MF_CHECKED) ? kStateChecked : 0);
    if (flags & MF_SEPARATOR) {
        item.type = MFT_SEPARATOR;
    } else {
        if (flags & MF_POPUP) {
            item.submenu = reinterpret_cast<HMENU>(itemId);
            if (item.submenu == menu || FindMenuLocked(item.submenu) == nullptr) {
                SetLastError(ERROR_INVALID_MENU_HANDLE);
                return FALSE;
            }
        }
        item.id = static_cast<UINT>(itemId);
        item.text = text != nullptr ? text : "";
    }
    record->items.push_back(std::move(item));
    return TRUE;
}

BOOL WINAPI DestroyMenu(HMENU menu) {
    std::lock_guard<std::mutex> guard(WindowLock());
    if (FindMenuLocked(menu) == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    DestroyMenuLocked(menu);
    return TRUE;
}

BOOL WINAPI SetMenu(HWND window, HMENU menu) {
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
        if (!record) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (menu != nullptr && FindMenuLocked(menu) == nullptr) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
        record->menu = menu;
    }
    NotifyGeometry(window, true);  // the menu bar takes its height from the client area
    return TRUE;
}

BOOL WINAPI DrawMenuBar(HWND window) {
    if (!FindWindowRecord(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU menu) {
    std::lock_guard<std::mutex> guard(WindowLock());
    const MenuRecord* record = FindMenuLocked(menu);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return static_cast<int>(record->items.size());
}

BOOL WINAPI GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info) {
    if (info == nullptr || (info->cbSize != sizeof(MENUITEMINFOA) && info->cbSize != kMenuItemInfoSize32 &&
                            info->cbSize != kMenuItemInfoSize32WithoutBitmap)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(WindowLock());
    const MenuRecord* record = FindMenuLocked(menu);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    const MenuItem* found = nullptr;
    if (byPosition)
        found = item < record->items.size() ? &record->items[item] : nullptr;
    else
        found = FindItemByIdLocked(menu, item);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (info->fMask & MIIM_STATE) info->fState = found->state;
    if (info->fMask & MIIM_ID) info->wID = found->id;
    if (info->fMask & MIIM_SUBMENU) info->hSubMenu = found->submenu;
    if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = found->type;
    if (info->fMask & MIIM_DATA) info->dwItemData = 0;
    if ((info->fMask & (MIIM_TYPE | MIIM_STRING)) && found->type != MFT_SEPARATOR) CopyItemText(*found, *info);
    return TRUE;
}
