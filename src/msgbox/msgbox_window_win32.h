// frmMsgBox: the timed message box on screen.
#pragma once

#include <windows.h>

#include "msgbox/message_boxes.h"

namespace valmora {

class frmMsgBox final : public MsgBoxWindow {
 public:
  // owner: the program's main window (may be hidden, or nullptr); the box
  // is centred on its monitor and keeps it disabled while shown.
  frmMsgBox(HINSTANCE instance, HWND owner);

  void ShowModal(const std::wstring& request, bool presetAnswer,
                 const std::function<void(bool answer)>& closed) override;
  bool PumpUntil(const std::function<bool()>& done) override;
  void Beep() override { ::MessageBeep(MB_OK); }

  struct Dialog;  // one shown request

 private:
  // The shown box's keyboard: Esc stops the countdown from any control,
  // Tab, Enter, Space and the access keys go to the dialog manager.
  bool PreTranslate(MSG& msg);

  HINSTANCE instance_;
  HWND owner_;
  Dialog* current_ = nullptr;
};

}  // namespace valmora
