#pragma once

#include "library/file_system.h"

namespace valmora {

class Win32FileSystem : public FileSystem {
 public:
  bool FindsPlainFile(const std::wstring& path) const override;
  bool FindsAnyEntry(const std::wstring& path) const override;
  std::optional<std::string> ReadAll(const std::wstring& path) const override;
  bool ReplaceAtomically(const std::wstring& path, const std::string& bytes) override;

  // A replacement cut short by a crash leaves this sibling behind.
  static std::wstring TemporaryFor(const std::wstring& path) { return path + L".~tmp"; }
  static void RemoveStaleTemporary(const std::wstring& path);
};

}  // namespace valmora
