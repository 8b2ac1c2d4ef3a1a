// The open-document log beside the executable: readers and writers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "doclog/locale.h"
#include "library/file_system.h"

namespace valmora {

// The entries one call of Go collects: the first 100 are kept, the rest
// only counted by the caller.
class EntryList {
 public:
  static constexpr std::size_t kMaxEntries = 100;

  // False when the list is full and the entry was not stored.
  bool Add(const std::wstring& entry);
  const std::vector<std::wstring>& Entries() const { return entries_; }
  std::size_t Count() const { return entries_.size(); }

 private:
  std::vector<std::wstring> entries_;
};

class OpenDocLog {
 public:
  OpenDocLog(std::wstring path, FileSystem& fs, const Locale& locale)
      : path_(std::move(path)), fs_(fs), locale_(locale) {}

  const std::wstring& Path() const { return path_; }
  const Locale& GetLocale() const { return locale_; }
  bool Exists() const;
  // Every line, or nothing when the log is missing or cannot be read.
  std::optional<std::vector<std::wstring>> ReadLines() const;

  // Every writer leaves the old log untouched when it returns false.
  // `kept` (hand-added lines) follows the entries, outside their limit: an
  // Office entry left out is found again by the next scan, a hand-added one
  // would be gone.
  bool Overwrite(const std::wstring& dateLine, const EntryList& entries, const std::vector<std::wstring>& kept = {});
  // Writes entries (no new date line), then every line of the previous log
  // not written yet, in its order: hand-added lines all, as an overwrite
  // keeps them, the others while the entries' limit leaves room.
  bool MergeRewrite(const EntryList& entries);
  // Appends end an old last line that lacks its CR LF first.
  bool AppendLine(const std::wstring& line);

 private:
  bool Replace(const std::vector<std::wstring>& lines);
  bool AppendText(const std::wstring& newText);

  std::wstring path_;
  FileSystem& fs_;
  const Locale& locale_;
};

}  // namespace valmora
