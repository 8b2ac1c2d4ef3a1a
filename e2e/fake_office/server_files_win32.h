// What the server leaves beside its scenario for the tests to read: a log,
// a ready file, and the call counts on request.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <utility>

#include "call_counts.h"
#include "library/unique_handle_win32.h"

namespace fake_office {

// The name every file of one server starts with: "Excel" for the first
// instance of an application, "Excel.2" for the second.
std::wstring ServerFileStem(const std::wstring& application, int instance);

// Names of the events through which a test asks a server (by process id)
// for its counts: set "dump" or "reset", then wait for "done".
std::wstring CountsEventName(DWORD processId, const wchar_t* what);

std::string ReadWholeFile(const std::wstring& path, bool* found);
// Through a temporary sibling, so a reader never sees half a file.
bool ReplaceFile(const std::wstring& path, const std::string& bytes);

// An HRESULT as a log line shows it: 0x800401E3.
std::string Hex(HRESULT result);

class ServerLog {
 public:
  explicit ServerLog(std::wstring path) : path_(std::move(path)) {}
  void Write(const std::string& line) const;

 private:
  std::wstring path_;
};

// Answers count requests on its own thread, so a hung apartment still reports.
class CountsReporter {
 public:
  CountsReporter(CallCounts& counts, std::wstring file);
  ~CountsReporter();
  CountsReporter(const CountsReporter&) = delete;
  CountsReporter& operator=(const CountsReporter&) = delete;
  bool Running() const { return thread_.joinable(); }

 private:
  void Serve();

  CallCounts& counts_;
  std::wstring file_;
  valmora::UniqueKernelHandle dump_, reset_, done_, stop_;
  std::thread thread_;
};

}  // namespace fake_office
