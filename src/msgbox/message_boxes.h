// The request routines of the timed message box: the only way into it.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "library/busy_pointer.h"
#include "msgbox/questions.h"

namespace valmora {

// The dialog window itself.
class MsgBoxWindow {
 public:
  virtual ~MsgBoxWindow() = default;
  // Shows `request` modally. `closed` gets the answer the moment the window
  // closes (the preset unless Yes or No was pressed); the call returns when
  // its modal loop has ended, which may be later.
  virtual void ShowModal(const std::wstring& request, bool presetAnswer,
                         const std::function<void(bool answer)>& closed) = 0;
  // Runs the message loop until `done` holds; false when the loop had to
  // end first (the program is quitting).
  virtual bool PumpUntil(const std::function<bool()>& done) = 0;
  virtual void Beep() = 0;
};

// Requests made while the dialog is up (a timer tick, a click during a
// pause) wait their turn and are shown in the order they were made, each
// with its own preset and its own answer.
class MessageBoxes final : public Questions, public Notices {
 public:
  MessageBoxes(MsgBoxWindow& window, BusyPointer& pointer) : window_(window), pointer_(pointer) {}

  void ShowMsgBox(std::wstring_view type, std::wstring_view msg, int countDown);
  void ShowWarning(std::wstring_view msg, int countDown) override;
  void ShowInfo(std::wstring_view msg, int countDown) override;
  bool AskYesNo(const std::wstring& msg, int countDown, bool defaultYes) override;

  // Shared with the callers that compose their text in it.
  std::wstring MsgBoxRequest;
  bool MsgBoxAnswer = false;

 private:
  struct Pending {
    std::wstring request;
    std::optional<bool> preset;  // questions only; Ok boxes leave the answer as it is then
    bool beep = false;
    std::optional<bool> answer;
  };

  bool Show(std::wstring_view type, std::wstring_view msg, int countDown, bool beep);
  void ShowNext();

  MsgBoxWindow& window_;
  BusyPointer& pointer_;
  std::deque<Pending*> queue_;  // each lives in the frame of the call that waits for it
  bool shown_ = false;
};

}  // namespace valmora
