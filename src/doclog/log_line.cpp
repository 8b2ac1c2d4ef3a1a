#include "doclog/log_line.h"

#include <cwchar>

#include "doclog/office_apps.h"
#include "library/text.h"

namespace valmora {

namespace {

// Digits and words collapse to one mark each, so that every date of one
// format has the same shape: "22.11.2033 13:44" and "5.1.2026 09:03" alike,
// "Dec" like "Nov", "年" like "日".
std::wstring Shape(const std::wstring& text) {
  std::wstring shape;
  for (wchar_t c : text) {
    const bool digit = c >= L'0' && c <= L'9';
    const bool letter = !digit && (c >= 0x80 || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'));
    const wchar_t mark = digit ? L'#' : letter ? L'a' : c;
    if ((mark == L'#' || mark == L'a') && !shape.empty() && shape.back() == mark) continue;
    shape.push_back(mark);
  }
  return shape;
}

// A date line as this program writes it with the user's present format:
// also one the system's parser refuses (custom formats, some locales).
bool IsOwnDateLine(const std::wstring& line, const Locale& locale) {
  if (line.empty() || !(line.back() >= L'0' && line.back() <= L'9')) return false;
  return Shape(line) == Shape(FormatDateLine({2033, 11, 22, 13, 44, 0}, locale));
}

}  // namespace

LineKind ClassifyLogLine(const std::wstring& line, const Locale& locale) {
  if (IsOwnDateLine(line, locale) || locale.IsDate(line)) return LineKind::DateLine;
  // A prefix says whose entry it is before any extension does.
  for (OfficeApp app : kOfficeAppsInOrder) {
    if (StartsWithNoCase(line, Traits(app).prefix)) return Traits(app).kind;
  }
  const std::wstring ext = ToLower(GetFileExt(line));
  if (ext.starts_with(L"xl")) return LineKind::ExcelEntry;
  if (ext.starts_with(L"do")) return LineKind::WordEntry;
  if (TrimBlanks(line).empty()) return LineKind::BlankLine;
  return LineKind::OtherEntry;
}

std::wstring FormatDateLine(const LocalTime& time, const Locale& locale) {
  wchar_t hours[8], minutes[8];
  std::swprintf(hours, 8, L"%02d", time.hour);
  std::swprintf(minutes, 8, L"%02d", time.minute);
  return locale.FormatShortDate(time) + L" " + hours + locale.TimeSeparator() + minutes;
}

std::wstring OneLine(std::wstring text) {
  for (wchar_t& c : text) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    if (control || c == 0x2028 || c == 0x2029) c = L' ';
  }
  return text;
}

}  // namespace valmora
