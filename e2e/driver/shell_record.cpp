#include "shell_record.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "harness.h"
#include "library/unique_handle_win32.h"
#include "library/utf.h"
#include "record_format.h"

namespace e2e {
namespace {

bool IsBusy(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED; }

// The record's bytes; a recorder appending holds it alone for a moment.
std::string ReadRecordBytes(const std::wstring& path) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  valmora::UniqueFile file;
  for (;;) {
    file.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) break;
    const DWORD error = ::GetLastError();
    if (!IsBusy(error) || std::chrono::steady_clock::now() > deadline) {
      if (error != ERROR_FILE_NOT_FOUND) ADD_FAILURE() << "cannot read the shell record, error " << error;
      return {};
    }
    std::this_thread::sleep_for(10ms);
  }
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  return bytes;
}

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

bool RecorderRunning(const std::wstring& exeName) {
  valmora::UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    if (::CompareStringOrdinal(FileName(entry.szExeFile).c_str(), -1, exeName.c_str(), -1, TRUE) == CSTR_EQUAL)
      return true;
  }
  return false;
}

}  // namespace

void PrintTo(const ShellRequest& request, std::ostream* out) {
  *out << '"' << valmora::ToUtf8(request.target) << "\" shown " << valmora::ToUtf8(request.show);
}

std::wstring ShowCommand(int command) { return std::to_wstring(command); }

std::wstring ShellRecord::RecorderExe() { return EnvOr(L"VALMORA_SHELL_RECORDER", L""); }

ShellRecord::ShellRecord() : path_(shell_recorder::RecordPathFor(RecorderExe())) {
  if (RecorderExe().empty()) ADD_FAILURE() << "VALMORA_SHELL_RECORDER names no shell recorder";
  Clear();
}

ShellRecord::~ShellRecord() { Clear(); }

void ShellRecord::Clear() {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!::DeleteFileW(path_.c_str())) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return;
    if (!IsBusy(error) || std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "cannot clear the shell record, error " << error;
      return;
    }
    std::this_thread::sleep_for(10ms);
  }
}

std::vector<ShellRequest> ShellRecord::Read() const {
  std::vector<shell_recorder::RecordedRequest> recorded = shell_recorder::ParseRecord(ReadRecordBytes(path_));
  std::stable_sort(recorded.begin(), recorded.end(),
                   [](const auto& a, const auto& b) { return a.started < b.started; });
  std::vector<ShellRequest> requests;
  for (const auto& request : recorded) requests.push_back({request.target, request.show});
  return requests;
}

std::vector<ShellRequest> ShellRecord::ReadWhenQuiet(std::chrono::milliseconds bound) const {
  const std::wstring exeName = FileName(RecorderExe());
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (RecorderRunning(exeName)) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "a shell recorder is still running";
      break;
    }
    std::this_thread::sleep_for(20ms);
  }
  return Read();
}

std::vector<ShellRequest> ShellRecord::WaitFor(std::size_t count, std::chrono::milliseconds bound) const {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  std::vector<ShellRequest> requests = Read();
  while (requests.size() < count && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(20ms);
    requests = Read();
  }
  return requests;
}

}  // namespace e2e
