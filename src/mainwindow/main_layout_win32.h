// frmMain's controls as laid out in twips, and the font that fits them.
#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "library/unique_handle_win32.h"
#include "mainwindow/main_view.h"

namespace valmora {

enum class ControlKind { Button, Toggle, Label, Picture };

struct ControlSpec {
  int id;
  ControlKind kind;
  const wchar_t* caption;
  DWORD style;  // beyond what the kind gives
  long left, top, width, height;  // twips
  const wchar_t* tooltip;
  std::optional<MainCommand> command;
};

// Every control of the window, in tab order (the order of creation).
std::span<const ControlSpec> MainControls();
const ControlSpec* FindControl(int id);
// The window styles of a control's kind, its own included.
DWORD ControlStyle(const ControlSpec& c);
// What a reopen in progress must not start again.
bool LockedWhileGoRuns(const ControlSpec& c);

// The message font at this DPI, made smaller only as far as the controls'
// fixed sizes need: every caption within its button, the status summary
// within lblMsg1.
UniqueFont FittedFont(HWND window, LOGFONTW face, UINT dpi);

}  // namespace valmora
