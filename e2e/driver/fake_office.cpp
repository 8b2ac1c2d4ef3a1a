#include "fake_office.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <thread>

#include "com_support_win32.h"
#include "harness.h"
#include "scenario.h"
#include "server_files_win32.h"

namespace e2e {

using namespace std::chrono_literals;

namespace {

std::wstring ServerExe() { return EnvOr(L"VALMORA_FAKE_OFFICE", L""); }

void RemoveServerFiles(const std::wstring& stem) {
  for (const wchar_t* extension : {L".scenario", L".ready", L".counts", L".log"})
    ::DeleteFileW((stem + extension).c_str());
}

}  // namespace

FakeOffice::FakeOffice(const std::wstring& application, const std::string& scenario) : application_(application) {
  const std::wstring exe = ServerExe();
  if (exe.empty()) ADD_FAILURE() << "VALMORA_FAKE_OFFICE names no fake server";
  stem_ = exe.substr(0, exe.find_last_of(L'\\') + 1) + application;
  RemoveServerFiles(stem_);
  // A typo in a test's scenario would otherwise surface as a silent server.
  const auto parsed = fake_office::ParseScenario(scenario, fake_office::Narrow(application));
  if (!parsed.application) ADD_FAILURE() << "scenario " << parsed.error;
  if (!fake_office::ReplaceFile(stem_ + L".scenario", scenario)) ADD_FAILURE() << "cannot write the scenario";
}

FakeOffice::~FakeOffice() {
  if (!process_) WaitForServer(0ms);
  Kill();
  if (::testing::Test::HasFailure()) std::cout << "---- " << fake_office::Narrow(application_) << " server log\n" << Log();
  RemoveServerFiles(stem_);
}

bool FakeOffice::OpenServer(DWORD processId) {
  process_.reset(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
  processId_ = process_ ? processId : 0;
  return processId_ != 0;
}

bool FakeOffice::Start() {
  const std::wstring exe = ServerExe();
  std::wstring commandLine = L"\"" + exe + L"\" --app " + application_;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    ADD_FAILURE() << "cannot start the fake server, error " << ::GetLastError();
    return false;
  }
  ::CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  processId_ = info.dwProcessId;

  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (std::chrono::steady_clock::now() < deadline) {
    bool found = false;
    fake_office::ReadWholeFile(stem_ + L".ready", &found);
    if (found) return true;
    if (::WaitForSingleObject(process_.get(), 50) == WAIT_OBJECT_0) break;
  }
  ADD_FAILURE() << "the fake " << fake_office::Narrow(application_) << " did not get ready";
  return false;
}

DWORD FakeOffice::WaitForServer(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    bool found = false;
    const std::string ready = fake_office::ReadWholeFile(stem_ + L".ready", &found);
    const DWORD processId = found ? static_cast<DWORD>(std::strtoul(ready.c_str(), nullptr, 10)) : 0;
    if (processId && OpenServer(processId)) return processId_;
    if (timeout.count() > 0) std::this_thread::sleep_for(50ms);
  } while (std::chrono::steady_clock::now() < deadline);
  return 0;
}

bool FakeOffice::WaitForEnd(std::chrono::milliseconds timeout) {
  return process_ && ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void FakeOffice::Kill() {
  if (!process_) return;
  if (::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_.get(), 99);
    ::WaitForSingleObject(process_.get(), 5000);
  }
  process_.reset();
}

bool FakeOffice::Request(const wchar_t* what) {
  valmora::UniqueKernelHandle request(
      ::OpenEventW(EVENT_MODIFY_STATE, FALSE, fake_office::CountsEventName(processId_, what).c_str()));
  valmora::UniqueKernelHandle done(
      ::OpenEventW(SYNCHRONIZE, FALSE, fake_office::CountsEventName(processId_, L"done").c_str()));
  if (!request || !done) return false;
  ::SetEvent(request.get());
  return ::WaitForSingleObject(done.get(), 10000) == WAIT_OBJECT_0;
}

fake_office::CallCountReport FakeOffice::Counts() {
  if (!Request(L"dump")) {
    ADD_FAILURE() << "the fake server did not report its counts";
    return {};
  }
  return fake_office::ParseCallCounts(fake_office::ReadWholeFile(stem_ + L".counts", nullptr));
}

void FakeOffice::ResetCounts() {
  if (!Request(L"reset")) ADD_FAILURE() << "the fake server did not reset its counts";
}

std::string FakeOffice::Log() const { return fake_office::ReadWholeFile(stem_ + L".log", nullptr); }

}  // namespace e2e
