#pragma once

#include <windows.h>

#include "library/registry.h"

namespace valmora {

// A predefined root key's number as the platform's handle; an open key as it is.
HKEY ToPlatformKey(RegHive hive);

// The Unicode registry services, so paths outside the ANSI code page survive.
class Win32RegistryApi : public RegistryApi {
 public:
  std::optional<RegHive> CreateKey(RegHive parent, const std::wstring& path) override;
  std::optional<RegHive> OpenKey(RegHive parent, const std::wstring& path, Access access) override;
  bool SetValue(RegHive key, const std::wstring& name, const RegData& data) override;
  std::optional<std::pair<std::uint32_t, RegData>> QueryValue(RegHive key, const std::wstring& name) override;
  bool DeleteValue(RegHive key, const std::wstring& name) override;
  std::optional<std::wstring> EnumSubkey(RegHive key, std::uint32_t index) override;
  bool DeleteKey(RegHive parent, const std::wstring& path) override;
  void CloseKey(RegHive key) override;
};

}  // namespace valmora
