// The kinds of line in the open-document log and the one rule that sorts them.
#pragma once

#include <string>

#include "doclog/locale.h"

namespace valmora {

enum class LineKind { DateLine, OutlookEntry, ExcelEntry, WordEntry, PowerPointEntry, BlankLine, OtherEntry };

LineKind ClassifyLogLine(const std::wstring& line, const Locale& locale);

// Short date, one blank, 24-hour "hh" + time separator + "mm".
std::wstring FormatDateLine(const LocalTime& time, const Locale& locale);

inline constexpr wchar_t kOutlookPrefix[] = L"Outlook:";
// No path a user can add has a colon there: hand-added files stay hand-added.
// A presentation always has its prefix; a workbook or a document has it when
// its extension does not say whose it is (a .csv, a .txt).
inline constexpr wchar_t kPowerPointPrefix[] = L"PowerPoint:";
inline constexpr wchar_t kExcelPrefix[] = L"Excel:";
inline constexpr wchar_t kWordPrefix[] = L"Word:";

// Text from someone else (a mail's subject) made fit for one log line: a
// CR or LF in it would end the line and turn the rest into a hand-added
// file that every reopen hands to the shell. Each control character, and
// each line or paragraph separator, becomes a blank.
std::wstring OneLine(std::wstring text);

}  // namespace valmora
