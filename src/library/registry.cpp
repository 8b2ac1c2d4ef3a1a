#include "library/registry.h"

#include <cwchar>
#include <vector>

#include "library/text.h"

namespace valmora {
namespace {

// Trimmed, one trailing "\" dropped; nothing when no path is left.
std::optional<std::wstring> PrepareKey(const std::wstring& keyPath) {
  std::wstring key = TrimBlanks(keyPath);
  if (!key.empty() && key.back() == L'\\') key.pop_back();
  if (key.empty()) return std::nullopt;
  return key;
}

bool IsProtectedKey(const std::wstring& keyPath, const std::wstring& valueName) {
  const std::wstring trimmed = TrimBlanks(keyPath);
  if (!valueName.empty() || trimmed.empty() || trimmed.back() != L'\\') return false;
  const std::wstring key = trimmed.substr(0, trimmed.size() - 1);
  const std::size_t slash = key.rfind(L'\\');
  if (slash == std::wstring::npos) return false;
  const std::wstring last = ToLower(key.substr(slash + 1));
  for (const wchar_t* name : {L"software", L"classes", L"clsid", L"appid", L"typelib", L"interface"}) {
    if (last == name) return true;
  }
  return false;
}

class KeyCloser {
 public:
  KeyCloser(RegistryApi& api, RegHive key) : api_(api), key_(key) {}
  ~KeyCloser() { api_.CloseKey(key_); }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  RegistryApi& api_;
  RegHive key_;
};

bool DeleteSubkeys(RegistryApi& api, RegHive key);

// name exactly as enumerated: blanks round it are part of it.
bool DeleteTree(RegistryApi& api, RegHive parent, const std::wstring& name) {
  const auto key = api.OpenKey(parent, name, RegistryApi::Access::Delete);
  if (!key) return false;
  bool emptied = false;
  {
    KeyCloser closer(api, *key);
    emptied = DeleteSubkeys(api, *key);
  }
  return emptied && api.DeleteKey(parent, name);
}

// Every subkey is tried once; one that cannot be opened or deleted stays
// and makes the result false.
bool DeleteSubkeys(RegistryApi& api, RegHive key) {
  // Names first: a deletion renumbers the rest, and a subkey that stays must
  // not come round again.
  std::vector<std::wstring> names;
  for (std::uint32_t index = 0; const auto name = api.EnumSubkey(key, index); ++index) names.push_back(*name);
  bool all = true;
  for (const auto& name : names) all = DeleteTree(api, key, name) && all;
  return all;
}

std::wstring HexText(std::uint32_t n) {
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"&h%X", static_cast<unsigned>(n));
  return buffer;
}

std::optional<std::uint32_t> ParseNumber(const std::wstring& data) {
  const std::wstring text = TrimBlanks(data);
  if (text.empty()) return std::nullopt;
  wchar_t* end = nullptr;
  const long long value = std::wcstoll(text.c_str(), &end, 10);
  if (*end != L'\0' || value < INT32_MIN || value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

bool WriteRegValue(RegistryApi& api, const std::wstring& data, RegHive hive, const std::wstring& keyPath,
                   const std::wstring& valueName, bool asText) {
  const auto key = PrepareKey(keyPath);
  if (!key) return false;
  RegData value;
  if (asText) {
    value = data.empty() ? std::wstring(L" ") : data;  // an empty value is stored as one blank
  } else {
    const auto number = ParseNumber(data);
    if (!number) return false;
    value = *number;
  }
  const auto handle = api.CreateKey(hive, *key);
  if (!handle) return false;
  KeyCloser closer(api, *handle);
  return api.SetValue(*handle, valueName, value);
}

std::wstring ReadRegValue(RegistryApi& api, RegHive hive, const std::wstring& keyPath,
                          const std::wstring& valueName) {
  const auto key = PrepareKey(keyPath);
  if (!key) return {};
  const auto handle = api.OpenKey(hive, *key, RegistryApi::Access::Read);
  if (!handle) return {};
  KeyCloser closer(api, *handle);
  const auto value = api.QueryValue(*handle, valueName);
  if (!value) return {};
  const auto& [type, data] = *value;
  if (type == static_cast<std::uint32_t>(RegType::String) ||
      type == static_cast<std::uint32_t>(RegType::ExpandString)) {
    if (const auto* text = std::get_if<std::wstring>(&data)) return TrimNull(*text);
    return {};
  }
  if (type == static_cast<std::uint32_t>(RegType::Dword)) {
    if (const auto* number = std::get_if<std::uint32_t>(&data)) return HexText(*number);
  }
  return {};
}

bool DeleteRegEntry(RegistryApi& api, RegHive hive, const std::wstring& keyPath, const std::wstring& valueName) {
  const auto key = PrepareKey(keyPath);
  if (!key) return false;
  if (IsProtectedKey(keyPath, valueName)) return false;
  const auto handle = api.OpenKey(hive, *key, RegistryApi::Access::Delete);
  if (!handle) return true;
  KeyCloser closer(api, *handle);
  if (!valueName.empty()) return api.DeleteValue(*handle, valueName);

  return DeleteSubkeys(api, *handle) && api.DeleteKey(hive, *key);
}

}  // namespace valmora
