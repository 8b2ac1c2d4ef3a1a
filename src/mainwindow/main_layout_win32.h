// frmMain's controls, and the sizes of the texts they must show whole.
#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "mainwindow/main_layout.h"
#include "mainwindow/main_view.h"

namespace valmora {

enum class ControlKind { Button, Toggle, Label, Picture };

struct ControlSpec {
  int id;
  ControlKind kind;
  const wchar_t* caption;
  DWORD style;  // beyond what the kind gives
  const wchar_t* tooltip;
  std::optional<MainCommand> command;
};

// Every control of the window, in tab order (the order of creation); their
// places are the design's, main_layout.h.
std::span<const ControlSpec> MainControls();
const ControlSpec* FindControl(int id);
// The window styles of a control's kind, its own included.
DWORD ControlStyle(const ControlSpec& c);
// What a reopen in progress must not start again.
bool LockedWhileGoRuns(const ControlSpec& c);

// Every caption, the status summary at its widest and a line of lblCmdLine,
// measured in `font` as the controls draw them.
MainTextSizes MeasureTexts(HDC dc, HFONT font, UINT dpi);

}  // namespace valmora
