#include "library/module_path_win32.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

namespace valmora {

std::wstring ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // long paths
  }
}

std::wstring LocalAppDataFolder() {
  wchar_t* path = nullptr;
  const HRESULT hr = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &path);
  std::wstring folder = SUCCEEDED(hr) && path ? path : L"";
  ::CoTaskMemFree(path);
  return folder;
}

}  // namespace valmora
