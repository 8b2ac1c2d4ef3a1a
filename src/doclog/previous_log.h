// The last session's list: the log an earlier run wrote, kept beside the log
// as "<name>.previous.txt" before this run first replaces it, so that no
// single scan can lose it.
#pragma once

#include <string>

#include "library/file_system.h"

namespace valmora {

// "C:\V\Valmora.txt" -> "C:\V\Valmora.previous.txt".
std::wstring PreviousLogPath(const std::wstring& logPath);

// The file services of the program with that one rule added: the first
// replacement of the log in this run keeps the old log's bytes (its format
// and encoding as they were) as the previous list, one generation.
class PreviousLogKeeper final : public FileSystem {
 public:
  // logPath is read at each write: start-up fixes it before the first.
  PreviousLogKeeper(FileSystem& fs, const std::wstring& logPath) : fs_(fs), logPath_(logPath) {}

  bool FindsPlainFile(const std::wstring& path) const override { return fs_.FindsPlainFile(path); }
  bool FindsAnyEntry(const std::wstring& path) const override { return fs_.FindsAnyEntry(path); }
  std::optional<std::string> ReadAll(const std::wstring& path) const override { return fs_.ReadAll(path); }
  bool ReplaceAtomically(const std::wstring& path, const std::string& bytes) override;
  std::wstring LastWriteError() const override { return fs_.LastWriteError(); }
  bool CanCreateFilesIn(const std::wstring& folder) override { return fs_.CanCreateFilesIn(folder); }
  bool CreateFolder(const std::wstring& folder) override { return fs_.CreateFolder(folder); }

 private:
  FileSystem& fs_;
  const std::wstring& logPath_;
  bool kept_ = false;
};

}  // namespace valmora
