#pragma once

#include <functional>

#include "library/file_system.h"

namespace valmora {

class Win32FileSystem : public FileSystem {
 public:
  // How a replacement waits before it tries again (milliseconds); Sleep
  // unless a test counts the waits.
  using Pause = std::function<void(unsigned long)>;
  explicit Win32FileSystem(Pause pause = {}) : pause_(std::move(pause)) {}

  bool FindsPlainFile(const std::wstring& path) const override;
  bool FindsAnyEntry(const std::wstring& path) const override;
  std::optional<std::string> ReadAll(const std::wstring& path) const override;
  bool ReplaceAtomically(const std::wstring& path, const std::string& bytes) override;
  std::wstring LastWriteError() const override { return lastWriteError_; }
  bool CanCreateFilesIn(const std::wstring& folder) override;
  bool CreateFolder(const std::wstring& folder) override;

  // A replacement cut short by a crash leaves this sibling behind.
  static std::wstring TemporaryFor(const std::wstring& path) { return path + L".~tmp"; }
  static void RemoveStaleTemporary(const std::wstring& path);

 private:
  bool MoveWithRetry(const std::wstring& from, const std::wstring& to);
  bool Failed(unsigned long error);
  Pause pause_;
  std::wstring lastWriteError_;
};

}  // namespace valmora
