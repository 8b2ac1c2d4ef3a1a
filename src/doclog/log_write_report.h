// A log that cannot be written is said, with its path and the system's
// reason: once a run for the scans, which would otherwise say it at every
// tick, and always for a file the user has just chosen to add.
#pragma once

#include <string>

#include "msgbox/questions.h"

namespace valmora {

class LogWriteReport {
 public:
  explicit LogWriteReport(Notices& notices) : notices_(notices) {}

  void NotSaved(const std::wstring& logPath, const std::wstring& reason);
  void NotAdded(const std::wstring& file, const std::wstring& logPath, const std::wstring& reason);

 private:
  Notices& notices_;
  bool reported_ = false;
};

}  // namespace valmora
