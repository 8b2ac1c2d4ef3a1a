// Go: one scan of the open Office items, or one reopen of the log.
#pragma once

#include "doclog/go.h"
#include "doclog/office.h"
#include "doclog/open_doc_log.h"
#include "doclog/scan_tally.h"
#include "msgbox/questions.h"

namespace valmora {

struct ScannerServices {
  OfficeAutomation& office;
  const std::wstring& logPath;  // strLogFile, fixed once start-up has set it
  FileSystem& fs;
  const Locale& locale;
  const Clock& clock;
  ScanView& view;
  Notices& notices;
  ReopenPhase* reopen = nullptr;
};

class Scanner final : public DocumentScanner {
 public:
  Scanner(GoState& state, ScannerServices services) : state_(state), services_(services) {}

  // A call that arrives while another is in progress (a timer tick or a
  // click during a notice or a reopen pause) is skipped, not nested.
  void Go(const GoFlags& flags) override;
  void InShutdown() override;

  // What the last scan counted, for the caller that reports on it.
  const ScanTally& LastTally() const { return tally_; }

 private:
  void Scan(const GoFlags& flags);

  GoState& state_;
  ScannerServices services_;
  ScanTally tally_;
  bool inGo_ = false;
};

}  // namespace valmora
