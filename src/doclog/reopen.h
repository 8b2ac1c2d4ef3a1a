// The reopen phase of Go: every logged item of the kinds asked for, handed
// to the shell in log order, one second apart.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "doclog/go.h"
#include "doclog/office.h"
#include "library/file_system.h"
#include "library/shell.h"
#include "msgbox/questions.h"

namespace valmora {

struct ReopenServices {
  OfficeAutomation& office;
  const std::wstring& logPath;
  FileSystem& fs;
  const Locale& locale;
  ScanView& view;
  Notices& notices;
  Shell& shell;
  // Waits, handling the window's events meanwhile (clicks, ticks, closing).
  std::function<void(std::int32_t milliseconds)> pause;
};

// "Excel: ", "Word: ", "PowerPoint: ", "Outlook: ", "Other: ", each with its
// count or "none".
std::wstring ReopenSummary(int excel, int word, int powerPoint, int outlook, int other);

// An "Outlook:" line's item id and description, split at the first apostrophe.
struct OutlookEntryParts {
  std::wstring itemId;
  std::wstring description;
};
OutlookEntryParts SplitOutlookEntry(const std::wstring& line);

// A document kept in a cloud library: its FullName is a web address.
bool IsWebAddress(const std::wstring& entry);

// The one notice of what a reopen could not do, each item on its line.
std::wstring ReopenProblems(const std::vector<std::wstring>& problems);

class Reopener final : public ReopenPhase {
 public:
  explicit Reopener(ReopenServices services) : services_(std::move(services)) {}
  ReopenOutcome Reopen(const GoFlags& flags, const StopRequested& stopped) override;

 private:
  ReopenServices services_;
};

}  // namespace valmora
