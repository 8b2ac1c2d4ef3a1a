#include "msgbox/message_boxes.h"

#include "msgbox/msgbox_request.h"

namespace valmora {

// Returns this request's own answer: a request queued behind it may have
// changed MsgBoxAnswer by the time the modal loop unwinds.
bool MessageBoxes::Show(std::wstring_view type, std::wstring_view msg, int countDown) {
  const std::wstring text(msg);  // msg may be MsgBoxRequest itself
  // A request while the dialog is up waits for it to close; the one dialog
  // is never loaded twice at once.
  if (shown_) window_.PumpUntil([this] { return !shown_; });

  MsgBoxRequest = PackMsgBoxRequest(type, countDown, text);
  const bool savedBusy = pointer_.BusyPointerOn();
  pointer_.SetBusyPointer(false);
  shown_ = true;
  bool answer = MsgBoxAnswer;
  bool closed = false;
  auto close = [&](bool closedWith) {
    if (closed) return;
    closed = true;
    answer = closedWith;
    MsgBoxAnswer = closedWith;
    pointer_.SetBusyPointer(savedBusy);
    shown_ = false;
  };
  window_.ShowModal(MsgBoxRequest, MsgBoxAnswer, close);
  close(answer);  // a window that could not be shown leaves the preset
  return answer;
}

void MessageBoxes::ShowMsgBox(std::wstring_view type, std::wstring_view msg, int countDown) {
  Show(type, msg, countDown);
}

void MessageBoxes::ShowWarning(std::wstring_view msg, int countDown) {
  window_.Beep();
  Show(L"2", msg, countDown);
}

void MessageBoxes::ShowInfo(std::wstring_view msg, int countDown) { Show(L"3", msg, countDown); }

bool MessageBoxes::AskYesNo(const std::wstring& msg, int countDown, bool defaultYes) {
  MsgBoxAnswer = defaultYes;
  return Show(defaultYes ? L"4" : L"5", msg, countDown);
}

}  // namespace valmora
