// The packed request of the timed message box: one type character, the
// countdown right-aligned in four characters, then the message text.
#pragma once

#include <string>
#include <string_view>

namespace valmora {

inline constexpr int kMaxCountDown = 9999;  // what four characters hold

struct MsgBoxRequestParts {
  int type = 0;       // "1" to "9"; anything else reads as 0
  int countDown = 0;  // seconds; 0 waits for a button
  std::wstring text;
};

// Only the first character of `type` is used. The countdown is clamped to
// 0..9999 so that it never spills into the text.
std::wstring PackMsgBoxRequest(std::wstring_view type, int countDown, std::wstring_view text);
MsgBoxRequestParts ParseMsgBoxRequest(std::wstring_view request);

// A trailing run of "@", digits, blanks, CR and LF that holds an "@" is not
// shown: it is cut from its first "@".
std::wstring RemoveTrailingTail(std::wstring_view text);

struct DisplayText {
  std::wstring text;  // "@" and lone CR or LF turned into CR LF; verbatim "@" restored
  int lineCount = 1;  // estimate of the wrapped lines, by character count
};

// Names, paths and subjects from the user's own data, made safe to insert
// into a message: their "@" is shown as it is, never as a line break, and
// never taken for part of a tail.
std::wstring Verbatim(std::wstring_view userText);

int CharsPerLine(long textBoxWidthTwips);
DisplayText MakeDisplayText(std::wstring_view text, int charsPerLine);

}  // namespace valmora
