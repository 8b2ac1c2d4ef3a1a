#include "doclog/previous_log.h"

namespace valmora {

std::wstring PreviousLogPath(const std::wstring& logPath) {
  const std::size_t slash = logPath.find_last_of(L"\\/");
  const std::size_t dot = logPath.rfind(L'.');
  const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  return hasExtension ? logPath.substr(0, dot) + L".previous" + logPath.substr(dot) : logPath + L".previous";
}

bool PreviousLogKeeper::ReplaceAtomically(const std::wstring& path, const std::string& bytes) {
  if (!kept_ && !logPath_.empty() && path == logPath_) {
    kept_ = true;
    // Kept as it was; a log that is not there leaves the previous list alone.
    if (const std::optional<std::string> old = fs_.ReadAll(path)) fs_.ReplaceAtomically(PreviousLogPath(path), *old);
  }
  return fs_.ReplaceAtomically(path, bytes);
}

}  // namespace valmora
