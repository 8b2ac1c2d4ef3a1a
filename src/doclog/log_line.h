// The kinds of line in the open-document log and the one rule that sorts them.
#pragma once

#include <string>

#include "doclog/locale.h"

namespace valmora {

enum class LineKind { DateLine, OutlookEntry, ExcelEntry, WordEntry, BlankLine, OtherEntry };

LineKind ClassifyLogLine(const std::wstring& line, const Locale& locale);

// Short date, one blank, 24-hour "hh" + time separator + "mm".
std::wstring FormatDateLine(const LocalTime& time, const Locale& locale);

inline constexpr wchar_t kOutlookPrefix[] = L"Outlook:";

}  // namespace valmora
