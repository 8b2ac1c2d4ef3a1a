// The request routines of the timed message box: the only way into it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "library/busy_pointer.h"
#include "startup/startup.h"

namespace valmora {

// The dialog window itself.
class MsgBoxWindow {
 public:
  virtual ~MsgBoxWindow() = default;
  // Shows `request` modally. `closed` gets the answer the moment the window
  // closes (the preset unless Yes or No was pressed); the call returns when
  // its modal loop has ended.
  virtual void ShowModal(const std::wstring& request, bool presetAnswer,
                         const std::function<void(bool answer)>& closed) = 0;
  // Runs the message loop until `done` holds.
  virtual void PumpUntil(const std::function<bool()>& done) = 0;
  virtual void Beep() = 0;
};

class MessageBoxes final : public Questions {
 public:
  MessageBoxes(MsgBoxWindow& window, BusyPointer& pointer) : window_(window), pointer_(pointer) {}

  void ShowMsgBox(std::wstring_view type, std::wstring_view msg, int countDown);
  void ShowWarning(std::wstring_view msg, int countDown);
  void ShowInfo(std::wstring_view msg, int countDown);
  bool AskYesNo(const std::wstring& msg, int countDown, bool defaultYes) override;

  // Shared with the callers that compose their text in it.
  std::wstring MsgBoxRequest;
  bool MsgBoxAnswer = false;

 private:
  bool Show(std::wstring_view type, std::wstring_view msg, int countDown);

  MsgBoxWindow& window_;
  BusyPointer& pointer_;
  bool shown_ = false;
};

}  // namespace valmora
