#include "msgbox/file_version_win32.h"

#include <windows.h>

#include <vector>

#include "msgbox/about_links.h"

namespace valmora {

std::wstring FileVersionText(const std::wstring& path) {
  DWORD unused = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &unused);
  if (size == 0) return {};
  std::vector<unsigned char> block(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof *info || info->dwSignature != VS_FFI_SIGNATURE) {
    return {};
  }
  return VersionText(HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS));
}

std::wstring ProgramVersionText() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return FileVersionText(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);  // a long path
  }
}

}  // namespace valmora
