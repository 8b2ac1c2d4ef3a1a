// The file services the core needs; the Windows layer implements them with W APIs.
#pragma once

#include <optional>
#include <string>

namespace valmora {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // A directory search for path (wildcards allowed) finds an entry that is
  // not a folder.
  virtual bool FindsPlainFile(const std::wstring& path) const = 0;
  // A directory search for path finds any entry at all.
  virtual bool FindsAnyEntry(const std::wstring& path) const = 0;
  // The whole file, or nothing when it cannot be read.
  virtual std::optional<std::string> ReadAll(const std::wstring& path) const = 0;
  // Replaces the file as one step: the old content or the new, never a mix.
  // On false the old file is untouched.
  virtual bool ReplaceAtomically(const std::wstring& path, const std::string& bytes) = 0;
  // Why the last replacement that returned false failed, in the system's words.
  virtual std::wstring LastWriteError() const = 0;
  // A new file can be made in the folder (it is there and not read-only).
  virtual bool CanCreateFilesIn(const std::wstring& folder) = 0;
  // The folder exists afterwards; its parent must exist.
  virtual bool CreateFolder(const std::wstring& folder) = 0;
};

// True when path, quotes removed, names at least one existing plain file.
bool FileExists(const FileSystem& fs, const std::wstring& path);

}  // namespace valmora
