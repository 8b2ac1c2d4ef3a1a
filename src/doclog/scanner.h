// Go: one scan of the open Office items, or one reopen of the log.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "doclog/go.h"
#include "doclog/log_write_report.h"
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
  LogWriteReport* writeReport = nullptr;
};

class Scanner final : public DocumentScanner {
 public:
  // How long what an unattended reopen could not do stays on screen.
  static constexpr int kUnattendedNoticeSeconds = 60;

  Scanner(GoState& state, ScannerServices services) : state_(state), services_(services) {}

  // A call that arrives while another is in progress (a timer tick or a
  // click during a notice or a reopen pause) is skipped, not nested; so is
  // every call once Stop has been asked for.
  void Go(const GoFlags& flags) override;
  // Runs in full also inside a Go under way (the end of the session arrives
  // in any wait that lets messages through) and after Stop.
  void InShutdown() override;

  // A Go is under way: waiting for Office, in a notice or a reopen pause.
  bool Running() const { return inGo_; }
  // The program is ending: a Go under way stops at its next step, nothing
  // more is opened, written or shown, and no later Go starts. `stopped`
  // runs once no Go runs any more, at once when none does.
  void Stop(std::function<void()> stopped = nullptr);
  // The end of the session was called off: Go runs again.
  void Resume() { stopRequested_ = false; }

  // What the last scan counted, for the caller that reports on it.
  const ScanTally& LastTally() const { return tally_; }

 private:
  class RunScope;
  void Run(const GoFlags& flags, const StopRequested& stopped);
  void ClearNewFlags();
  void Scan(const GoFlags& flags, const StopRequested& stopped);

  GoState& state_;
  ScannerServices services_;
  ScanTally tally_;
  bool inGo_ = false;
  bool inShutdown_ = false;
  bool stopRequested_ = false;
  bool toldUnreachable_[kOfficeApps] = {};
  // Handed to the shell by the last reopen: the scan after it keeps them.
  std::vector<std::wstring> reopened_;
  std::wstring reopenNotice_;
  std::function<void()> whenStopped_;
};

}  // namespace valmora
