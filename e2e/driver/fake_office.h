// One fake Office application for a test: its scenario, its server process,
// its call counts. No server outlives the object.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "call_counts.h"
#include "library/unique_handle_win32.h"

namespace e2e {

class FakeOffice {
 public:
  // Writes the scenario beside the fake server, where a server that COM
  // starts (-Embedding) reads it too. application: "Excel", "Word", "Outlook".
  // Wine does not notice a client that died holding objects, so a test in
  // which Outlook may be created needs an Outlook FakeOffice to end it.
  FakeOffice(const std::wstring& application, const std::string& scenario);
  // Ends the server, whoever started it, and removes its files; on a failed
  // test it prints the server's log first.
  ~FakeOffice();
  FakeOffice(const FakeOffice&) = delete;
  FakeOffice& operator=(const FakeOffice&) = delete;

  // Starts the server and waits until it is in the Running Object Table.
  bool Start();
  // Waits for a server started by COM to be registered; its id, or 0.
  DWORD WaitForServer(std::chrono::milliseconds timeout);
  // True once the server process has ended by itself.
  bool WaitForEnd(std::chrono::milliseconds timeout);
  void Kill();

  // Read on the server's side thread: works while the server hangs or is
  // busy, and is not counted itself.
  fake_office::CallCountReport Counts();
  void ResetCounts();
  std::string Log() const;

 private:
  bool Request(const wchar_t* what);
  bool OpenServer(DWORD processId);

  std::wstring stem_;  // <server folder>\<application>
  std::wstring application_;
  valmora::UniqueKernelHandle process_;
  DWORD processId_ = 0;
};

}  // namespace e2e
