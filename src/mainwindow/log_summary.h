// The status summary: when the log was written and what it holds.
#pragma once

#include <string>

#include "doclog/open_doc_log.h"

namespace valmora {

// The kinds the summary counts, each with its count or "none": Excel, Word,
// PowerPoint, Outlook, Other.
inline constexpr int kLogSummaryKinds = 5;

// The date line, then a line per kind; "" when the log does not exist.
std::wstring GetLogSummary(const OpenDocLog& log);

}  // namespace valmora
