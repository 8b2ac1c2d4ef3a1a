#include "library/registry_win32.h"

#include <windows.h>

#include <vector>

namespace valmora {
namespace {

RegHive FromHkey(HKEY key) { return reinterpret_cast<RegHive>(key); }

constexpr REGSAM kWriteAccess = 0x20006;   // set value, create subkey, read control
constexpr REGSAM kDeleteAccess = 0x2003F;  // read control and all specific rights

}  // namespace

// The predefined keys are sign-extended on 64-bit Windows; the core's
// 0x80000002 is not the same bits as HKEY_LOCAL_MACHINE there.
HKEY ToPlatformKey(RegHive hive) {
  switch (hive) {
    case kHkeyClassesRoot: return HKEY_CLASSES_ROOT;
    case kHkeyCurrentUser: return HKEY_CURRENT_USER;
    case kHkeyLocalMachine: return HKEY_LOCAL_MACHINE;
    case kHkeyUsers: return HKEY_USERS;
    case 0x80000004u: return HKEY_PERFORMANCE_DATA;
    case kHkeyCurrentConfig: return HKEY_CURRENT_CONFIG;
    case 0x80000006u: return HKEY_DYN_DATA;
    case 0x80000007u: return HKEY_CURRENT_USER_LOCAL_SETTINGS;
    case 0x80000050u: return HKEY_PERFORMANCE_TEXT;
    case 0x80000060u: return HKEY_PERFORMANCE_NLSTEXT;
    default: return reinterpret_cast<HKEY>(hive);
  }
}

std::optional<RegHive> Win32RegistryApi::CreateKey(RegHive parent, const std::wstring& path) {
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (::RegCreateKeyExW(ToPlatformKey(parent), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kWriteAccess, &security,
                        &key, &disposition) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return FromHkey(key);
}

std::optional<RegHive> Win32RegistryApi::OpenKey(RegHive parent, const std::wstring& path, Access access) {
  HKEY key = nullptr;
  const REGSAM sam = access == Access::Read ? KEY_QUERY_VALUE : kDeleteAccess;
  if (::RegOpenKeyExW(ToPlatformKey(parent), path.c_str(), 0, sam, &key) != ERROR_SUCCESS) return std::nullopt;
  return FromHkey(key);
}

bool Win32RegistryApi::SetValue(RegHive key, const std::wstring& name, const RegData& data) {
  if (const auto* text = std::get_if<std::wstring>(&data)) {
    // The terminating NUL is stored too, as every reader of REG_SZ expects.
    const DWORD bytes = static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(ToPlatformKey(key), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                            bytes) == ERROR_SUCCESS;
  }
  const DWORD number = std::get<std::uint32_t>(data);
  return ::RegSetValueExW(ToPlatformKey(key), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number) == ERROR_SUCCESS;
}

std::optional<std::pair<std::uint32_t, RegData>> Win32RegistryApi::QueryValue(RegHive key, const std::wstring& name) {
  std::vector<BYTE> buffer(1024);
  DWORD type = 0;
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    const LSTATUS status = ::RegQueryValueExW(ToPlatformKey(key), name.c_str(), nullptr, &type, buffer.data(), &size);
    if (status == ERROR_MORE_DATA) {
      buffer.resize(size + sizeof(wchar_t));  // the value may grow between calls; loop
      continue;
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    buffer.resize(size);
    break;
  }
  if (type == REG_DWORD) {
    if (buffer.size() < sizeof(DWORD)) return std::nullopt;
    DWORD number = 0;
    memcpy(&number, buffer.data(), sizeof number);
    return std::pair<std::uint32_t, RegData>{type, static_cast<std::uint32_t>(number)};
  }
  std::wstring text(buffer.size() / sizeof(wchar_t), L'\0');
  memcpy(text.data(), buffer.data(), text.size() * sizeof(wchar_t));
  return std::pair<std::uint32_t, RegData>{type, std::move(text)};
}

bool Win32RegistryApi::DeleteValue(RegHive key, const std::wstring& name) {
  return ::RegDeleteValueW(ToPlatformKey(key), name.c_str()) == ERROR_SUCCESS;
}

std::optional<std::wstring> Win32RegistryApi::EnumSubkey(RegHive key, std::uint32_t index) {
  wchar_t name[256];  // key names are at most 255 characters
  DWORD length = 256;
  if (::RegEnumKeyExW(ToPlatformKey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(name, length);
}

bool Win32RegistryApi::DeleteKey(RegHive parent, const std::wstring& path) {
  return ::RegDeleteKeyW(ToPlatformKey(parent), path.c_str()) == ERROR_SUCCESS;
}

void Win32RegistryApi::CloseKey(RegHive key) { ::RegCloseKey(ToPlatformKey(key)); }

}  // namespace valmora
