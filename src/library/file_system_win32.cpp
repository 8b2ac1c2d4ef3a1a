#include "library/file_system_win32.h"

#include <windows.h>

#include <algorithm>

#include "library/system_message_win32.h"
#include "library/unique_handle_win32.h"

namespace valmora {
namespace {

bool WriteAllAndFlush(const std::wstring& path, const std::string& bytes) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return ::FlushFileBuffers(file.get()) != FALSE;
}

// Tried again for at most about half a second: the window waits meanwhile.
constexpr int kMoveTries = 10;
constexpr DWORD kMovePauseMs = 50;

bool IsReadOnlyOrFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

// A scanner or indexer holding the log lets go in a moment; a read-only log
// never will, though the refusal reads the same (access denied).
bool MayPassWithTime(DWORD error, const std::wstring& target) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
  return error == ERROR_ACCESS_DENIED && !IsReadOnlyOrFolder(target);
}

}  // namespace

bool Win32FileSystem::MoveWithRetry(const std::wstring& from, const std::wstring& to) {
  for (int attempt = 1;; ++attempt) {
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    if (!MayPassWithTime(::GetLastError(), to) || attempt == kMoveTries) return false;
    if (pause_) {
      pause_(kMovePauseMs);
    } else {
      ::Sleep(kMovePauseMs);
    }
  }
}

bool Win32FileSystem::FindsPlainFile(const std::wstring& path) const {
  WIN32_FIND_DATAW data;
  UniqueFind find(::FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
  if (!find) return false;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  } while (::FindNextFileW(find.get(), &data));
  return false;
}

bool Win32FileSystem::FindsAnyEntry(const std::wstring& path) const {
  WIN32_FIND_DATAW data;
  UniqueFind find(::FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
  return static_cast<bool>(find);
}

std::optional<std::string> Win32FileSystem::ReadAll(const std::wstring& path) const {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > (1LL << 30)) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

bool Win32FileSystem::ReplaceAtomically(const std::wstring& path, const std::string& bytes) {
  // Not every system refuses to replace a read-only file; it stays here.
  if (IsReadOnlyOrFolder(path)) return Failed(ERROR_ACCESS_DENIED);
  const std::wstring temporary = TemporaryFor(path);
  if (WriteAllAndFlush(temporary, bytes) && MoveWithRetry(temporary, path)) return true;
  const DWORD error = ::GetLastError();
  ::DeleteFileW(temporary.c_str());
  return Failed(error);
}

bool Win32FileSystem::Failed(unsigned long error) {
  lastWriteError_ = SystemMessage(error);
  return false;
}

// Made and gone again at once; read-only folders, full or locked drives and
// missing rights all refuse it, whatever the attributes say.
bool Win32FileSystem::CanCreateFilesIn(const std::wstring& folder) {
  const std::wstring probe = folder + L"\\~" + std::to_wstring(::GetCurrentProcessId()) + L".probe";
  UniqueFile file(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return static_cast<bool>(file);
}

bool Win32FileSystem::CreateFolder(const std::wstring& folder) {
  return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

void Win32FileSystem::RemoveStaleTemporary(const std::wstring& path) { ::DeleteFileW(TemporaryFor(path).c_str()); }

}  // namespace valmora
