// The hand-added lines of the log, as GetCurr and reopen-all read them first.
#pragma once

#include <optional>
#include <string>

#include "doclog/open_doc_log.h"

namespace valmora {

// Every OtherEntry line in file order, each followed by CR LF; "" when
// there is no log. Nothing when the log is there but cannot be read: the
// caller must then leave it alone rather than lose those lines.
std::optional<std::wstring> GatherManualEntries(const OpenDocLog& log);

// What the label says when that happens.
std::wstring LogUnreadableMessage(const std::wstring& logPath);

}  // namespace valmora
