#include "testing/fakes.h"

#include <cwchar>
#include <regex>

#include "library/text.h"

namespace valmora::testing {

std::wstring FakeLocale::FormatShortDate(const LocalTime& time) const {
  wchar_t buffer[32];
  std::swprintf(buffer, 32, L"%02d/%02d/%04d", time.day, time.month, time.year);
  return buffer;
}

bool FakeLocale::IsDate(const std::wstring& text) const {
  static const std::wregex date(LR"(\s*\d{1,2}/\d{1,2}/\d{2,4}( \d{1,2}:\d{2})?\s*)");
  return std::regex_match(text, date);
}

std::optional<std::string> FakeLocale::ToAnsi(const std::wstring& text) const {
  std::string out;
  for (wchar_t c : text) {
    if (static_cast<unsigned long>(c) > 0xFF) return std::nullopt;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

std::wstring FakeLocale::FromAnsi(const std::string& bytes) const {
  std::wstring out;
  for (char c : bytes) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

bool FakeFileSystem::FindsPlainFile(const std::wstring& path) const { return files.contains(path); }

bool FakeFileSystem::FindsAnyEntry(const std::wstring& path) const {
  return files.contains(path) || folders.contains(path);
}

std::optional<std::string> FakeFileSystem::ReadAll(const std::wstring& path) const {
  const auto it = files.find(path);
  if (failReads || it == files.end()) return std::nullopt;
  return it->second;
}

bool FakeFileSystem::ReplaceAtomically(const std::wstring& path, const std::string& bytes) {
  if (failWrites) return false;
  ++writes;
  files[path] = bytes;
  return true;
}

void FakeRegistry::Put(const std::wstring& path, const std::wstring& name, const std::wstring& text) {
  const std::wstring full = L"hkcu\\" + ToLower(path);
  // Create the parents too, as the platform would.
  for (std::size_t pos = full.find(L'\\'); pos != std::wstring::npos; pos = full.find(L'\\', pos + 1)) {
    keys[full.substr(0, pos)];
  }
  keys[full].values[name] = {1, text};
}

bool FakeRegistry::HasKey(const std::wstring& path) const { return keys.contains(L"hkcu\\" + ToLower(path)); }

std::wstring FakeRegistry::Resolve(RegHive parent, const std::wstring& path) const {
  const std::wstring base = parent == kHkeyCurrentUser ? L"hkcu" : handles_.at(parent);
  return base + L"\\" + ToLower(path);
}

std::optional<RegHive> FakeRegistry::CreateKey(RegHive parent, const std::wstring& path) {
  const std::wstring full = Resolve(parent, path);
  for (std::size_t pos = full.find(L'\\'); pos != std::wstring::npos; pos = full.find(L'\\', pos + 1)) {
    keys[full.substr(0, pos)];
  }
  keys[full];
  handles_[next_] = full;
  ++openHandles;
  return next_++;
}

std::optional<RegHive> FakeRegistry::OpenKey(RegHive parent, const std::wstring& path, Access) {
  const std::wstring full = Resolve(parent, path);
  if (!keys.contains(full) || denied.contains(full)) return std::nullopt;
  handles_[next_] = full;
  ++openHandles;
  return next_++;
}

bool FakeRegistry::SetValue(RegHive key, const std::wstring& name, const RegData& data) {
  const std::uint32_t type = std::holds_alternative<std::wstring>(data) ? 1 : 4;
  keys[handles_.at(key)].values[name] = {type, data};
  return true;
}

std::optional<std::pair<std::uint32_t, RegData>> FakeRegistry::QueryValue(RegHive key, const std::wstring& name) {
  const auto& values = keys[handles_.at(key)].values;
  const auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

bool FakeRegistry::DeleteValue(RegHive key, const std::wstring& name) {
  return keys[handles_.at(key)].values.erase(name) == 1;
}

std::optional<std::wstring> FakeRegistry::EnumSubkey(RegHive key, std::uint32_t index) {
  if (++enumCalls > kEnumBudget) return std::nullopt;
  const std::wstring prefix = handles_.at(key) + L"\\";
  std::uint32_t seen = 0;
  for (const auto& [path, unused] : keys) {
    if (!path.starts_with(prefix) || path.find(L'\\', prefix.size()) != std::wstring::npos) continue;
    if (seen++ == index) return path.substr(prefix.size());
  }
  return std::nullopt;
}

bool FakeRegistry::DeleteKey(RegHive parent, const std::wstring& path) {
  const std::wstring full = Resolve(parent, path);
  const auto it = keys.lower_bound(full + L"\\");
  if (it != keys.end() && it->first.starts_with(full + L"\\")) return false;  // has subkeys
  return keys.erase(full) == 1;
}

void FakeRegistry::CloseKey(RegHive key) {
  handles_.erase(key);
  --openHandles;
}

}  // namespace valmora::testing
