#include "msgbox/msgbox_request.h"

#include <algorithm>
#include <cmath>

namespace valmora {
namespace {

// A private-use character stands for a verbatim "@" until display.
constexpr wchar_t kVerbatimAt = L'\uE040';

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool IsTailCharacter(wchar_t c) { return c == L'\r' || c == L'\n' || c == L' ' || c == L'@' || IsDigit(c); }

// A number as a lenient reader takes it: leading blanks, an optional sign,
// digits up to the first other character; no digits reads as 0.
int ReadNumber(std::wstring_view field) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == L' ') ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == L'-' || field[i] == L'+')) negative = field[i++] == L'-';
  long value = 0;
  for (; i < field.size() && IsDigit(field[i]); ++i) value = value * 10 + (field[i] - L'0');
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

std::wstring PackMsgBoxRequest(std::wstring_view type, int countDown, std::wstring_view text) {
  std::wstring request(1, type.empty() ? L' ' : type.front());
  std::wstring digits = std::to_wstring(std::clamp(countDown, 0, kMaxCountDown));
  request.append(4 - digits.size(), L' ');
  request += digits;
  request += text;
  return request;
}

MsgBoxRequestParts ParseMsgBoxRequest(std::wstring_view request) {
  MsgBoxRequestParts parts;
  if (!request.empty() && IsDigit(request[0])) parts.type = request[0] - L'0';
  if (request.size() > 1) parts.countDown = ReadNumber(request.substr(1, 4));
  if (request.size() > 5) parts.text = request.substr(5);
  return parts;
}

std::wstring RemoveTrailingTail(std::wstring_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsTailCharacter(text[end - 1])) --end;
  // No tail, or nothing in front of it: shown as it stands.
  if (end == text.size() || end == 0) return std::wstring(text);
  const std::size_t at = text.find(L'@', end);
  return std::wstring(at == std::wstring_view::npos ? text : text.substr(0, at));
}

std::wstring Verbatim(std::wstring_view userText) {
  std::wstring text(userText);
  std::replace(text.begin(), text.end(), L'@', kVerbatimAt);
  return text;
}

int CharsPerLine(long textBoxWidthTwips) {
  return static_cast<int>(std::nearbyint(static_cast<double>(textBoxWidthTwips) / 80.0));
}

DisplayText MakeDisplayText(std::wstring_view text, int charsPerLine) {
  DisplayText display;
  display.text.reserve(text.size() + 16);
  int column = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n' || c == L'@') {
      // CR LF is one break; a CR of its own gets an LF too, so the text box
      // breaks where the line was counted.
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      display.text += L"\r\n";
      ++display.lineCount;
      column = 0;
    } else {
      display.text += c == kVerbatimAt ? L'@' : c;
      if (++column > charsPerLine) {
        ++display.lineCount;
        column = 1;
      }
    }
  }
  return display;
}

}  // namespace valmora
