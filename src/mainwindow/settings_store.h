// The per-user application settings, kept under HKEY_CURRENT_USER\Software\<app>\<section>.
#pragma once

#include "library/registry.h"
#include "mainwindow/external_command.h"

namespace valmora {

class RegistrySettingsStore final : public SettingsStore {
 public:
  explicit RegistrySettingsStore(RegistryApi& registry) : registry_(registry) {}
  std::wstring Get(const std::wstring& app, const std::wstring& section, const std::wstring& key) override;
  void Set(const std::wstring& app, const std::wstring& section, const std::wstring& key,
           const std::wstring& value) override;
  void Delete(const std::wstring& app, const std::wstring& section, const std::wstring& key) override;

 private:
  RegistryApi& registry_;
};

}  // namespace valmora
