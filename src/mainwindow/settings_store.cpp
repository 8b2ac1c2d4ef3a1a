#include "mainwindow/settings_store.h"

namespace valmora {
namespace {

std::wstring KeyPath(const std::wstring& app, const std::wstring& section) {
  return L"Software\\" + app + L"\\" + section;
}

}  // namespace

std::wstring RegistrySettingsStore::Get(const std::wstring& app, const std::wstring& section,
                                        const std::wstring& key) {
  return ReadRegValue(registry_, kHkeyCurrentUser, KeyPath(app, section), key);
}

void RegistrySettingsStore::Set(const std::wstring& app, const std::wstring& section, const std::wstring& key,
                                const std::wstring& value) {
  WriteRegValue(registry_, value, kHkeyCurrentUser, KeyPath(app, section), key, true);
}

void RegistrySettingsStore::Delete(const std::wstring& app, const std::wstring& section, const std::wstring& key) {
  DeleteRegEntry(registry_, kHkeyCurrentUser, KeyPath(app, section), key);
}

}  // namespace valmora
