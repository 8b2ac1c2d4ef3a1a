#include "msgbox/message_boxes.h"

#include <algorithm>

#include "msgbox/msgbox_layout.h"
#include "msgbox/msgbox_request.h"

namespace valmora {

// Every waiting call serves the queue from its front, whichever call sits
// innermost on the stack: nested waits would otherwise show the newest
// request first.
bool MessageBoxes::Show(std::wstring_view type, std::wstring_view msg, int countDown, bool beep) {
  Pending me;
  me.request = PackMsgBoxRequest(type, countDown, msg);  // msg may be MsgBoxRequest itself
  me.preset = StyleForType(ParseMsgBoxRequest(me.request).type).presetAnswer;
  me.beep = beep;
  queue_.push_back(&me);
  while (!me.answer) {
    if (!shown_) {
      ShowNext();
    } else if (!window_.PumpUntil([&] { return !shown_ || me.answer; })) {
      // Quitting: nobody will answer; leave the preset.
      queue_.erase(std::remove(queue_.begin(), queue_.end(), &me), queue_.end());
      me.answer = me.preset.value_or(MsgBoxAnswer);
    }
  }
  return *me.answer;
}

void MessageBoxes::ShowNext() {
  Pending* next = queue_.front();
  queue_.pop_front();
  if (next->beep) window_.Beep();  // as its dialog appears, not when it was asked for
  MsgBoxRequest = next->request;
  const bool preset = next->preset.value_or(MsgBoxAnswer);
  const bool savedBusy = pointer_.BusyPointerOn();
  pointer_.SetBusyPointer(false);
  shown_ = true;
  auto close = [this, next, savedBusy](bool answer) {
    if (next->answer) return;
    next->answer = answer;
    MsgBoxAnswer = answer;
    pointer_.SetBusyPointer(savedBusy);
    shown_ = false;
  };
  window_.ShowModal(next->request, preset, close);
  close(preset);  // a window that could not be shown leaves the preset
}

void MessageBoxes::ShowMsgBox(std::wstring_view type, std::wstring_view msg, int countDown) {
  Show(type, msg, countDown, false);
}

void MessageBoxes::ShowWarning(std::wstring_view msg, int countDown) { Show(L"2", msg, countDown, true); }

void MessageBoxes::ShowInfo(std::wstring_view msg, int countDown) { Show(L"3", msg, countDown, false); }

bool MessageBoxes::AskYesNo(const std::wstring& msg, int countDown, bool defaultYes) {
  MsgBoxAnswer = defaultYes;
  return Show(defaultYes ? L"4" : L"5", msg, countDown, false);
}

}  // namespace valmora
