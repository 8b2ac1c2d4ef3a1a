// What the timed message box shows for a request, and where, in twips.
#pragma once

#include <optional>
#include <string_view>

#include "msgbox/msgbox_request.h"

namespace valmora {

enum class MsgBoxIcon { None, Critical, Exclamation, Information, Question };
enum class MsgBoxButton { Ok, Yes, No };

struct MsgBoxStyle {
  MsgBoxIcon icon = MsgBoxIcon::None;
  bool yesNo = false;                // Yes and No instead of Ok
  MsgBoxButton focus = MsgBoxButton::Ok;
  std::optional<bool> presetAnswer;  // empty: the answer is left as it was
};

MsgBoxStyle StyleForType(int type);

struct TwipRect {
  long left, top, width, height;
};

// The design, in twips.
inline constexpr long kMsgBoxClientWidth = 7155;
inline constexpr long kMsgBoxClientHeight = 1455;
inline constexpr long kMsgBoxLineHeight = 255;
inline constexpr TwipRect kMsgBoxText{840, 360, 6135, 255};
inline constexpr TwipRect kMsgBoxYes{2880, 960, 675, 375};
inline constexpr TwipRect kMsgBoxOk{3240, 960, 675, 375};
inline constexpr TwipRect kMsgBoxNo{3720, 960, 675, 375};
inline constexpr TwipRect kMsgBoxCountDown{6120, 1020, 555, 315};
inline constexpr TwipRect kMsgBoxPrint{6720, 1080, 315, 255};
TwipRect IconRect(MsgBoxIcon icon);

struct MsgBoxLayout {
  MsgBoxStyle style;
  DisplayText display;
  int countDown = 0;
  long clientHeight = kMsgBoxClientHeight;
  long textHeight = kMsgBoxLineHeight;
  long controlsShift = 0;    // how far the buttons and the countdown move down
  bool textScrolls = false;  // the text is taller than the dialog may grow
};

// maxClientHeight: the tallest client area that fits the work area; 0 for
// no limit. wrappedLines: the lines the text really takes in the text box's
// font, when the window has measured them; the dialog grows to the larger of
// that and the estimate by character count, so no line is cut off.
MsgBoxLayout LayOutMsgBox(std::wstring_view request, long maxClientHeight, int wrappedLines = 0);

// The countdown label: n, n-1, ..., 0, then the dialog closes itself.
class Countdown {
 public:
  explicit Countdown(int seconds) : shown_(seconds), running_(seconds != 0) {}
  bool Running() const { return running_; }  // the label is shown while it runs
  int Shown() const { return shown_; }
  // One second has passed; true when the dialog is to close.
  bool Tick();
  // Esc: the dialog waits for a button from now on.
  void Stop() { running_ = false; }

 private:
  int shown_;
  bool running_;
};

}  // namespace valmora
