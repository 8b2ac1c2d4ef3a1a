// The hand-added lines of the log: what a rescan carries over.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "doclog/locale.h"
#include "doclog/open_doc_log.h"

namespace valmora {

// Every OtherEntry line of `lines`, in file order, duplicates and all.
std::vector<std::wstring> ManualEntryLines(const std::vector<std::wstring>& lines, const Locale& locale);

// The same, each followed by CR LF, as the retain question lists them; ""
// when there is no log. Nothing when the log is there but cannot be read:
// the caller must then leave it alone rather than lose those lines.
std::optional<std::wstring> GatherManualEntries(const OpenDocLog& log);

// What the label says when that happens.
std::wstring LogUnreadableMessage(const std::wstring& logPath);

}  // namespace valmora
