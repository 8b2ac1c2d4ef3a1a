#include "mainwindow/log_summary.h"

#include "doclog/log_line.h"

namespace valmora {
namespace {

std::wstring CountOrNone(long long count) { return count == 0 ? L"none" : std::to_wstring(count); }

}  // namespace

std::wstring GetLogSummary(const OpenDocLog& log) {
  const auto lines = log.ReadLines();
  if (!lines) return {};
  std::wstring dateLine;
  long long excel = 0, word = 0, powerPoint = 0, outlook = 0, other = 0;
  for (const auto& line : *lines) {
    switch (ClassifyLogLine(line, log.GetLocale())) {
      case LineKind::DateLine: dateLine = line; break;
      case LineKind::OutlookEntry: ++outlook; break;
      case LineKind::ExcelEntry: ++excel; break;
      case LineKind::WordEntry: ++word; break;
      case LineKind::PowerPointEntry: ++powerPoint; break;
      case LineKind::BlankLine: break;
      case LineKind::OtherEntry: ++other; break;
    }
  }
  return L"Open at last check:  " + dateLine + L"\r\nExcel: " + CountOrNone(excel) + L"\r\nWord: " + CountOrNone(word) +
         L"\r\nPowerPoint: " + CountOrNone(powerPoint) + L"\r\nOutlook: " + CountOrNone(outlook) + L"\r\nOther: " +
         CountOrNone(other);
}

}  // namespace valmora
