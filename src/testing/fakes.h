// In-memory stand-ins for the platform, for the unit tests.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "doclog/locale.h"
#include "library/file_system.h"
#include "library/registry.h"

namespace valmora::testing {

// Short date dd/mm/yyyy, ":" and "/" as separators, Latin-1 as the ANSI
// code page. Dates of that form, with an optional hh:mm, parse.
class FakeLocale : public Locale {
 public:
  std::wstring FormatShortDate(const LocalTime& time) const override;
  std::wstring TimeSeparator() const override { return L":"; }
  std::wstring DateSeparator() const override { return L"/"; }
  bool IsDate(const std::wstring& text) const override;
  std::optional<std::string> ToAnsi(const std::wstring& text) const override;
  std::wstring FromAnsi(const std::string& bytes) const override;
};

class FakeFileSystem : public FileSystem {
 public:
  std::map<std::wstring, std::string> files;
  std::set<std::wstring> folders;
  bool failWrites = false;
  bool failReads = false;
  int writes = 0;
  std::set<std::wstring> lockedFolders;  // no file can be made in these

  bool FindsPlainFile(const std::wstring& path) const override;
  bool FindsAnyEntry(const std::wstring& path) const override;
  std::optional<std::string> ReadAll(const std::wstring& path) const override;
  bool ReplaceAtomically(const std::wstring& path, const std::string& bytes) override;
  std::wstring LastWriteError() const override { return L"Access is denied."; }
  bool CanCreateFilesIn(const std::wstring& folder) override { return !lockedFolders.contains(folder); }
  bool CreateFolder(const std::wstring& folder) override {
    if (lockedFolders.contains(folder)) return false;
    folders.insert(folder);
    return true;
  }
};

// A registry tree keyed by full lower-case path; handles are indexes.
class FakeRegistry : public RegistryApi {
 public:
  struct Key {
    std::map<std::wstring, std::pair<std::uint32_t, RegData>> values;
  };
  std::map<std::wstring, Key> keys;  // "hkcu\software\..." lower case
  std::set<std::wstring> denied;     // keys that exist but cannot be opened, same form
  int openHandles = 0;
  // Enumeration gives up after this many calls, so a runaway loop ends a
  // test instead of hanging it.
  int enumCalls = 0;
  static constexpr int kEnumBudget = 10000;

  void Put(const std::wstring& path, const std::wstring& name, const std::wstring& text);
  bool HasKey(const std::wstring& path) const;

  std::optional<RegHive> CreateKey(RegHive parent, const std::wstring& path) override;
  std::optional<RegHive> OpenKey(RegHive parent, const std::wstring& path, Access access) override;
  bool SetValue(RegHive key, const std::wstring& name, const RegData& data) override;
  std::optional<std::pair<std::uint32_t, RegData>> QueryValue(RegHive key, const std::wstring& name) override;
  bool DeleteValue(RegHive key, const std::wstring& name) override;
  std::optional<std::wstring> EnumSubkey(RegHive key, std::uint32_t index) override;
  bool DeleteKey(RegHive parent, const std::wstring& path) override;
  void CloseKey(RegHive key) override;

 private:
  std::wstring Resolve(RegHive parent, const std::wstring& path) const;
  std::map<RegHive, std::wstring> handles_;
  RegHive next_ = 1;
};

}  // namespace valmora::testing
