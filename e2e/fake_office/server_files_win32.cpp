#include "server_files_win32.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fake_office {

std::wstring ServerFileStem(const std::wstring& application, int instance) {
  return instance > 1 ? application + L"." + std::to_wstring(instance) : application;
}

std::wstring CountsEventName(DWORD processId, const wchar_t* what) {
  return L"Local\\fake_office." + std::to_wstring(processId) + L"." + what;
}

std::string ReadWholeFile(const std::wstring& path, bool* found) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (found) *found = static_cast<bool>(in);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ReplaceFile(const std::wstring& path, const std::string& bytes) {
  const std::wstring temporary = path + L".tmp";
  {
    std::ofstream out(std::filesystem::path(temporary), std::ios::binary | std::ios::trunc);
    if (!(out << bytes) || !out.flush()) return false;
  }
  if (::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  ::DeleteFileW(temporary.c_str());
  return false;
}

std::string Hex(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

void ServerLog::Write(const std::string& line) const {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02u:%02u:%02u.%03u [%lu] ", now.wHour, now.wMinute, now.wSecond,
                now.wMilliseconds, ::GetCurrentProcessId());
  std::ofstream out(std::filesystem::path(path_), std::ios::binary | std::ios::app);
  out << stamp << line << "\r\n";
}

CountsReporter::CountsReporter(CallCounts& counts, std::wstring file)
    : counts_(counts), file_(std::move(file)) {
  const DWORD self = ::GetCurrentProcessId();
  dump_.reset(::CreateEventW(nullptr, FALSE, FALSE, CountsEventName(self, L"dump").c_str()));
  reset_.reset(::CreateEventW(nullptr, FALSE, FALSE, CountsEventName(self, L"reset").c_str()));
  done_.reset(::CreateEventW(nullptr, FALSE, FALSE, CountsEventName(self, L"done").c_str()));
  stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (dump_ && reset_ && done_ && stop_) thread_ = std::thread([this] { Serve(); });
}

CountsReporter::~CountsReporter() {
  if (!thread_.joinable()) return;
  ::SetEvent(stop_.get());
  thread_.join();
}

void CountsReporter::Serve() {
  const HANDLE events[] = {stop_.get(), dump_.get(), reset_.get()};
  for (;;) {
    const DWORD which = ::WaitForMultipleObjects(3, events, FALSE, INFINITE);
    if (which == WAIT_OBJECT_0 + 1) {
      ReplaceFile(file_, counts_.Format());
    } else if (which == WAIT_OBJECT_0 + 2) {
      counts_.Reset();
    } else {
      return;
    }
    ::SetEvent(done_.get());
  }
}

}  // namespace fake_office
