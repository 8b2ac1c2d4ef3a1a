#include "doclog/log_line.h"

#include <cwchar>

#include "library/text.h"

namespace valmora {

LineKind ClassifyLogLine(const std::wstring& line, const Locale& locale) {
  if (locale.IsDate(line)) return LineKind::DateLine;
  if (StartsWithNoCase(line, kOutlookPrefix)) return LineKind::OutlookEntry;
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
