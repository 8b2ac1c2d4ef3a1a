#include "mainwindow/main_menu_win32.h"

#include <span>

#include "mainwindow/control_ids.h"

namespace valmora {
namespace {

struct MenuEntry {
  int id;
  const wchar_t* caption;
  MainCommand command;
};

struct MenuSpec {
  const wchar_t* caption;
  std::span<const MenuEntry> entries;
};

constexpr MenuEntry kFileEntries[] = {
    {ids::kMnuFileManualAdd, L"Manually &add file (eg. non-office)", MainCommand::FileManualAdd},
    {ids::kMnuFileOpenLog, L"Open log file", MainCommand::FileOpenLog},
    {ids::kMnuFileReopenPrevious, L"Reopen &Previous Session", MainCommand::FileReopenPrevious},
    {ids::kMnuFileExit, L"E&xit", MainCommand::Exit},
};
constexpr MenuEntry kHelpEntries[] = {
    {ids::kMnuHelpHelp, L"&Help", MainCommand::HelpHelp},
    {ids::kMnuHelpAbout, L"&About", MainCommand::HelpAbout},
};
constexpr MenuEntry kPopupEntries[] = {
    {ids::kMnuPopupRestore, L"Restore", MainCommand::PopupRestore},
};

constexpr MenuSpec kMenuBar[] = {{L"&File", kFileEntries}, {L"&Help", kHelpEntries}};
constexpr MenuSpec kSysTray[] = {{L"&SysTray", kPopupEntries}};
constexpr MenuSpec kAllMenus[] = {kMenuBar[0], kMenuBar[1], kSysTray[0]};

UniqueMenu BuildMenu(std::span<const MenuSpec> menus) {
  UniqueMenu bar(::CreateMenu());
  if (!bar) return bar;
  for (const MenuSpec& menu : menus) {
    UniqueMenu popup(::CreatePopupMenu());
    if (!popup) return UniqueMenu();
    for (const MenuEntry& entry : menu.entries) {
      if (!::AppendMenuW(popup.get(), MF_STRING, static_cast<UINT_PTR>(entry.id), entry.caption)) return UniqueMenu();
    }
    if (!::AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), menu.caption)) {
      return UniqueMenu();
    }
    static_cast<void>(popup.release());  // the bar owns it now
  }
  return bar;
}

}  // namespace

UniqueMenu CreateMainMenuBar() { return BuildMenu(kMenuBar); }

UniqueMenu CreateSysTrayMenu() { return BuildMenu(kSysTray); }

std::optional<MainCommand> MenuCommand(int id) {
  for (const MenuSpec& menu : kAllMenus) {
    for (const MenuEntry& entry : menu.entries) {
      if (entry.id == id) return entry.command;
    }
  }
  return std::nullopt;
}

}  // namespace valmora
