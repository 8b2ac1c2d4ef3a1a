#include "msgbox/msgbox_layout.h"

#include <algorithm>

namespace valmora {

MsgBoxStyle StyleForType(int type) {
  switch (type) {
    case 1: return {MsgBoxIcon::Critical, false, MsgBoxButton::Ok, std::nullopt};
    case 2: return {MsgBoxIcon::Exclamation, false, MsgBoxButton::Ok, std::nullopt};
    case 3: return {MsgBoxIcon::Information, false, MsgBoxButton::Ok, std::nullopt};
    case 4: return {MsgBoxIcon::Question, true, MsgBoxButton::Yes, true};
    case 5: return {MsgBoxIcon::Question, true, MsgBoxButton::No, false};
    case 6: case 7: case 8: case 9: return {MsgBoxIcon::None, true, MsgBoxButton::No, false};
    default: return {};
  }
}

TwipRect IconRect(MsgBoxIcon icon) {
  const long left = icon == MsgBoxIcon::Critical || icon == MsgBoxIcon::Exclamation ? 255 : 240;
  return {left, 180, 510, 510};
}

MsgBoxLayout LayOutMsgBox(std::wstring_view request, long maxClientHeight, int wrappedLines) {
  const MsgBoxRequestParts parts = ParseMsgBoxRequest(request);
  MsgBoxLayout layout;
  layout.style = StyleForType(parts.type);
  layout.countDown = parts.countDown;
  layout.display = MakeDisplayText(RemoveTrailingTail(parts.text), CharsPerLine(kMsgBoxText.width));

  const int lines = std::max(layout.display.lineCount, wrappedLines);
  long grow = static_cast<long>(lines - 1) * kMsgBoxLineHeight;
  if (maxClientHeight > 0 && kMsgBoxClientHeight + grow > maxClientHeight) {
    // Whole lines only, so the text box never shows half a line at its foot.
    const long room = maxClientHeight > kMsgBoxClientHeight ? maxClientHeight - kMsgBoxClientHeight : 0;
    grow = room / kMsgBoxLineHeight * kMsgBoxLineHeight;
    layout.textScrolls = true;
  }
  layout.clientHeight = kMsgBoxClientHeight + grow;
  layout.textHeight = kMsgBoxLineHeight + grow;
  layout.controlsShift = grow;
  return layout;
}

bool Countdown::Tick() {
  if (!running_) return false;
  --shown_;
  if (shown_ > 0) return false;
  running_ = false;
  return true;
}

}  // namespace valmora
