// One fake Office application instance for a test: its scenario, its server
// process, its call counts. No server, and none of its entries in the Running
// Object Table, outlives the object.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "call_counts.h"
#include "library/unique_handle_win32.h"

namespace e2e {

class FakeOffice {
 public:
  // Writes the scenario beside the fake server, where a server that COM
  // starts (-Embedding) reads it too. application: "Excel", "Word",
  // "PowerPoint", "Outlook", or "Other" (a program that only registers its
  // documents in the Running Object Table; never started by COM). Wine does
  // not notice a client that died holding objects, so a test in which Outlook
  // may be created needs an Outlook FakeOffice to end it.
  // instance: several of one application run side by side, each with its own
  // scenario and counts (files Excel.2.scenario, ...). Only the first is the
  // active object, and only the first can be started by COM; every instance
  // registers its documents in the Running Object Table (unless "rot off" or
  // "register off"). Any instance may be started first.
  FakeOffice(const std::wstring& application, const std::string& scenario, int instance = 1);
  // Ends the server, whoever started it, and removes its files; on a failed
  // test it prints the server's log first.
  ~FakeOffice();
  FakeOffice(const FakeOffice&) = delete;
  FakeOffice& operator=(const FakeOffice&) = delete;

  // Starts the server and waits until it is ready: registered in the Running
  // Object Table, as far as its scenario lets it, and its main window made.
  bool Start();
  // Waits for a server started by COM to be registered; its id, or 0.
  DWORD WaitForServer(std::chrono::milliseconds timeout);
  // True once the server process has ended by itself.
  bool WaitForEnd(std::chrono::milliseconds timeout);
  // Ends the server, as a crash would, and waits until its documents have
  // left the Running Object Table (a test fails if they stay).
  void Kill();

  // Read on the server's side thread: works while the server hangs or is
  // busy, and is not counted itself.
  fake_office::CallCountReport Counts();
  void ResetCounts();
  std::string Log() const;
  // The server process's id once started (or found); 0 before.
  DWORD ProcessId() const { return processId_; }

 private:
  bool Request(const wchar_t* what);
  bool OpenServer(DWORD processId);
  bool Running() const;
  void WaitUntilUnregistered();

  std::wstring stem_;  // <server folder>\<application>[.<instance>]
  std::wstring application_;
  int instance_;
  std::vector<std::wstring> registered_;  // the FullNames its server puts in the Running Object Table
  valmora::UniqueKernelHandle process_;
  DWORD processId_ = 0;
};

}  // namespace e2e
