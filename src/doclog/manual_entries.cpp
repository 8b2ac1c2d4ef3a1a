#include "doclog/manual_entries.h"

#include "doclog/log_line.h"

namespace valmora {

std::optional<std::wstring> GatherManualEntries(const OpenDocLog& log) {
  if (!log.Exists()) return std::wstring();
  const auto lines = log.ReadLines();
  if (!lines) return std::nullopt;
  std::wstring entries;
  for (const std::wstring& line : *lines) {
    if (ClassifyLogLine(line, log.GetLocale()) == LineKind::OtherEntry) entries += line + L"\r\n";
  }
  return entries;
}

std::wstring LogUnreadableMessage(const std::wstring& logPath) {
  return L"The log could not be read (is it open in another program?), so it was left as it is:\r\n" + logPath;
}

}  // namespace valmora
