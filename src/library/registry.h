// Registry values behind plain results: "" or false instead of errors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace valmora {

using RegHive = std::uintptr_t;  // a predefined root key or an open key

// The predefined root keys by their 32-bit numbers; the Windows layer turns
// them into the platform's handles.
inline constexpr RegHive kHkeyClassesRoot = 0x80000000u;
inline constexpr RegHive kHkeyCurrentUser = 0x80000001u;
inline constexpr RegHive kHkeyLocalMachine = 0x80000002u;
inline constexpr RegHive kHkeyUsers = 0x80000003u;
inline constexpr RegHive kHkeyCurrentConfig = 0x80000005u;

enum class RegType : std::uint32_t { String = 1, ExpandString = 2, Dword = 4 };
using RegData = std::variant<std::wstring, std::uint32_t>;

// The raw registry operations, one to one with the platform's services.
// Every open key returned must be given back to CloseKey.
class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  virtual std::optional<RegHive> CreateKey(RegHive parent, const std::wstring& path) = 0;
  enum class Access { Read, Delete };
  virtual std::optional<RegHive> OpenKey(RegHive parent, const std::wstring& path, Access access) = 0;
  virtual bool SetValue(RegHive key, const std::wstring& name, const RegData& data) = 0;
  // The value's type and data: text of any length, or a 32-bit number.
  virtual std::optional<std::pair<std::uint32_t, RegData>> QueryValue(RegHive key, const std::wstring& name) = 0;
  virtual bool DeleteValue(RegHive key, const std::wstring& name) = 0;
  virtual std::optional<std::wstring> EnumSubkey(RegHive key, std::uint32_t index) = 0;
  virtual bool DeleteKey(RegHive parent, const std::wstring& path) = 0;
  virtual void CloseKey(RegHive key) = 0;
};

// asText true stores type 1 text; false stores the data as a 32-bit number.
bool WriteRegValue(RegistryApi& api, const std::wstring& data, RegHive hive, const std::wstring& keyPath,
                   const std::wstring& valueName, bool asText);
std::wstring ReadRegValue(RegistryApi& api, RegHive hive, const std::wstring& keyPath,
                          const std::wstring& valueName);
// An empty valueName deletes the whole key with everything under it; false
// when any of it stays. A key that cannot be opened counts as deleted.
bool DeleteRegEntry(RegistryApi& api, RegHive hive, const std::wstring& keyPath, const std::wstring& valueName);

}  // namespace valmora
