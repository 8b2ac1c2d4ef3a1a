#include "fake_office.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "com_support_win32.h"
#include "harness.h"
#include "running_objects.h"
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

// Every FakeOffice of the test now running, to tell whose entries a name in
// the Running Object Table is.
std::vector<const FakeOffice*>& Living() {
  static std::vector<const FakeOffice*> living;
  return living;
}

}  // namespace

FakeOffice::FakeOffice(const std::wstring& application, const std::string& scenario, int instance)
    : application_(application), instance_(instance) {
  const std::wstring exe = ServerExe();
  if (exe.empty()) ADD_FAILURE() << "VALMORA_FAKE_OFFICE names no fake server";
  if (instance < 1 || instance > 99) ADD_FAILURE() << "an instance is numbered 1 to 99, not " << instance;
  stem_ = exe.substr(0, exe.find_last_of(L'\\') + 1) + fake_office::ServerFileStem(application, instance);
  for (const FakeOffice* other : Living()) {
    if (other->stem_ == stem_) ADD_FAILURE() << "two FakeOffice objects share " << fake_office::Narrow(stem_);
  }
  Living().push_back(this);
  RemoveServerFiles(stem_);
  // A typo in a test's scenario would otherwise surface as a silent server.
  const auto parsed = fake_office::ParseScenario(scenario, fake_office::Narrow(application));
  if (!parsed.application) ADD_FAILURE() << "scenario " << parsed.error;
  if (parsed.application && parsed.application->DocumentsInTable()) {
    for (const auto& document : parsed.application->documents) registered_.push_back(fake_office::Widen(document.fullName));
  }
  if (!fake_office::ReplaceFile(stem_ + L".scenario", scenario)) ADD_FAILURE() << "cannot write the scenario";
}

FakeOffice::~FakeOffice() {
  if (!process_) WaitForServer(0ms);
  Kill();
  if (::testing::Test::HasFailure()) {
    std::cout << "---- " << fake_office::Narrow(fake_office::ServerFileStem(application_, instance_)) << " server log\n"
              << Log();
  }
  RemoveServerFiles(stem_);
  auto& living = Living();
  living.erase(std::remove(living.begin(), living.end(), this), living.end());
}

bool FakeOffice::OpenServer(DWORD processId) {
  process_.reset(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
  processId_ = process_ ? processId : 0;
  return processId_ != 0;
}

bool FakeOffice::Start() {
  const std::wstring exe = ServerExe();
  std::wstring commandLine = L"\"" + exe + L"\" --app " + application_;
  if (instance_ > 1) commandLine += L" --instance " + std::to_wstring(instance_);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Wine now and then refuses a start with ERROR_INTERNAL_ERROR while its
  // server is busy with the process before; the next try succeeds.
  bool started = false;
  DWORD error = 0;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(500ms);
    started = ::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &info) != FALSE;
    if (!started) error = ::GetLastError();
  }
  if (!started) {
    ADD_FAILURE() << "cannot start the fake server, error " << error;
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
  if (Running()) {
    ::TerminateProcess(process_.get(), 99);
    ::WaitForSingleObject(process_.get(), 5000);
  }
  process_.reset();
  WaitUntilUnregistered();
}

bool FakeOffice::Running() const { return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

// Wine takes a dead process's entries out of the table at once; a name that
// stays would be found by the next test's client.
void FakeOffice::WaitUntilUnregistered() {
  if (registered_.empty()) return;
  const fake_office::ComApartment apartment(COINIT_APARTMENTTHREADED);  // joins the caller's, if it has one
  // How often a name may stay listed: as often as running instances register it.
  auto othersRegistering = [this](const std::wstring& name) {
    long count = 0;
    for (const FakeOffice* other : Living()) {
      if (other != this && other->Running()) count += std::count(other->registered_.begin(), other->registered_.end(), name);
    }
    return count;
  };
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  for (;;) {
    const std::vector<std::wstring> listed = RunningFileNames();
    const auto stays = std::find_if(registered_.begin(), registered_.end(), [&](const std::wstring& name) {
      return std::count(listed.begin(), listed.end(), name) > othersRegistering(name);
    });
    if (stays == registered_.end()) return;
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << fake_office::Narrow(*stays) << " stays in the Running Object Table after its server ended";
      return;
    }
    std::this_thread::sleep_for(50ms);
  }
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
