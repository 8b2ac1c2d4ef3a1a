// frmMain's menus: the menu bar and the notification icon's popup menu.
#pragma once

#include <windows.h>

#include <optional>

#include "library/unique_handle_win32.h"
#include "mainwindow/main_view.h"

namespace valmora {

// "&File" and "&Help", for SetMenu (the window then owns it). Null on failure.
UniqueMenu CreateMainMenuBar();

// A menu holding the one popup "&SysTray" with "Restore"; it is never put in
// the menu bar, its popup is shown by the notification icon.
UniqueMenu CreateSysTrayMenu();

// The command of a menu entry's id, if it is one.
std::optional<MainCommand> MenuCommand(int id);

}  // namespace valmora
