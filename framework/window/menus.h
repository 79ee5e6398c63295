// The main window's optional menu: its item table, whether it is shown, and
// showing it over a full screen while the mouse is at the top.
#pragma once

#include "platform/user/user.h"

// 1 when the menu is to be seen now: a menu in use, not hidden, and window
// mode, the always-shown setting or the full-screen hover state.
int IsMenuShown();
// 0 item read (its name in a shared buffer until the next call), 1 separator,
// -1 failure.
int GetMenuItemInfoByPosition(HMENU menu, int position, MENUITEMINFOA* info);
// Appends the menu's items, submenus depth first; 0, or -1 when a menu cannot
// be read. Items beyond the table's 128 records are not kept.
int CollectMenuItems(HMENU menu);
// Copies the item's name (at most 128 bytes with the terminator); 0 or -1.
int GetMenuItemNameById(int id, char* buffer);
// Nonzero shows the menu, 0 hides it. Returns 0.
int SetMenuDisplay(int show);
// Shows the menu over a full screen while the mouse is in its top 60 rows.
int UpdateFullScreenMenu();
