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
// No path a user can add has a colon there: hand-added decks stay hand-added.
inline constexpr wchar_t kPowerPointPrefix[] = L"PowerPoint:";

// Text from someone else (a mail's subject) made fit for one log line: a
// CR or LF in it would end the line and turn the rest into a hand-added
// file that every reopen hands to the shell. Each control character, and
// each line or paragraph separator, becomes a blank.
std::wstring OneLine(std::wstring text);

}  // namespace valmora
