#include "doclog/log_write_report.h"

#include "msgbox/msgbox_request.h"

namespace valmora {
namespace {

// Unattended (a tick, the end of the session) the box must not wait forever.
constexpr int kNotSavedCountDown = 30;

std::wstring Where(const std::wstring& logPath, const std::wstring& reason) {
  return Verbatim(logPath) + L"\r\n\r\n" + Verbatim(reason.empty() ? L"The log could not be read." : reason);
}

}  // namespace

void LogWriteReport::NotSaved(const std::wstring& logPath, const std::wstring& reason) {
  if (reported_) return;
  reported_ = true;
  notices_.ShowWarning(L"The list of open documents could not be saved in\r\n" + Where(logPath, reason),
                       kNotSavedCountDown);
}

void LogWriteReport::NotAdded(const std::wstring& file, const std::wstring& logPath, const std::wstring& reason) {
  reported_ = true;  // the rescan that follows would fail the same way
  notices_.ShowWarning(Verbatim(file) + L" could not be added to the log\r\n" + Where(logPath, reason), 0);
}

}  // namespace valmora
