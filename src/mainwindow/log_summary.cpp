#include "mainwindow/log_summary.h"

#include "doclog/log_line.h"
#include "doclog/office_apps.h"

namespace valmora {
namespace {

std::wstring CountOrNone(long long count) { return count == 0 ? L"none" : std::to_wstring(count); }

}  // namespace

std::wstring GetLogSummary(const OpenDocLog& log) {
  const auto lines = log.ReadLines();
  if (!lines) return {};
  std::wstring dateLine;
  long long counts[kOfficeApps] = {}, other = 0;
  for (const auto& line : *lines) {
    const LineKind kind = ClassifyLogLine(line, log.GetLocale());
    if (kind == LineKind::DateLine) dateLine = line;
    if (kind == LineKind::OtherEntry) ++other;
    if (const OfficeAppTraits* app = TraitsOf(kind)) ++counts[static_cast<int>(app->app)];
  }
  std::wstring summary = L"Open at last check:  " + dateLine;
  for (OfficeApp app : kOfficeAppsInOrder) {
    summary += L"\r\n" + std::wstring(Traits(app).label) + L": " + CountOrNone(counts[static_cast<int>(app)]);
  }
  return summary + L"\r\nOther: " + CountOrNone(other);
}

}  // namespace valmora
