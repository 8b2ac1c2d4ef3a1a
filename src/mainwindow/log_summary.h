// The status summary: when the log was written and what it holds.
#pragma once

#include <string>

#include "doclog/open_doc_log.h"

namespace valmora {

// Five lines, or "" when the log does not exist.
std::wstring GetLogSummary(const OpenDocLog& log);

}  // namespace valmora
