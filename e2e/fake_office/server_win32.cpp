// fake_office.exe --app Excel|Word|PowerPoint|Outlook|Other [--instance N] [--scenario FILE] [-Embedding]
// Serves one application's object model from a scenario, its documents
// registered in the Running Object Table and, for the first instance of an
// Office application, the application as the active object; with -Embedding
// (started by COM) also as class object.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <string>

#include "application_kinds.h"
#include "busy_filter_win32.h"
#include "class_ids_win32.h"
#include "com_support_win32.h"
#include "document_registrations_win32.h"
#include "main_window_win32.h"
#include "office_objects_win32.h"
#include "scenario.h"
#include "server_files_win32.h"

namespace fake_office {
namespace {

// Instances run side by side, each with its own files; a number beyond this is a typo.
constexpr int kMostInstances = 99;

struct Options {
  std::string application;
  int instance = 1;
  std::wstring scenario;
  bool embedding = false;
};

// 1 to kMostInstances, or 0 for anything else.
int InstanceNumber(const wchar_t* text) {
  wchar_t* end = nullptr;
  const long number = std::wcstol(text, &end, 10);
  return end != text && *end == L'\0' && number >= 1 && number <= kMostInstances ? static_cast<int>(number) : 0;
}

bool ParseOptions(Options& options) {
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!arguments) return false;
  for (int i = 1; i < count; ++i) {
    const std::wstring argument = arguments[i];
    if (argument == L"--app" && i + 1 < count) {
      options.application = CanonicalApplication(Narrow(arguments[++i]));
    } else if (argument == L"--instance" && i + 1 < count) {
      options.instance = InstanceNumber(arguments[++i]);
    } else if (argument == L"--scenario" && i + 1 < count) {
      options.scenario = arguments[++i];
    } else if (::_wcsicmp(argument.c_str(), L"-Embedding") == 0 || ::_wcsicmp(argument.c_str(), L"/Embedding") == 0) {
      options.embedding = true;
    }
  }
  ::LocalFree(arguments);
  return !options.application.empty() && options.instance != 0;
}

std::wstring ExeFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L'\\'));
}

// Our output goes to the log: a server COM starts inherits its client's
// standard handles, and a pipe held open here would stall the client's reader.
void LetGoOfStandardHandles() {
  for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE handle = ::GetStdHandle(which);
    if (handle && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    ::SetStdHandle(which, nullptr);
  }
}

// A fresh prefix may still be starting its RPC service: one retry after a pause.
HRESULT WithOneRetry(const std::function<HRESULT()>& attempt) {
  HRESULT result = attempt();
  if (FAILED(result)) {
    ::Sleep(1000);
    result = attempt();
  }
  return result;
}

class ActiveObjectRegistration {
 public:
  ActiveObjectRegistration(IUnknown* object, const CLSID& classId, DWORD flags) {
    result_ = WithOneRetry([&] { return ::RegisterActiveObject(object, classId, flags, &cookie_); });
  }
  ~ActiveObjectRegistration() {
    if (SUCCEEDED(result_)) ::RevokeActiveObject(cookie_, nullptr);
  }
  ActiveObjectRegistration(const ActiveObjectRegistration&) = delete;
  ActiveObjectRegistration& operator=(const ActiveObjectRegistration&) = delete;
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_ = E_FAIL;
  DWORD cookie_ = 0;
};

// Hands out the one application object; COM counts the locks as connections.
class ClassFactory : public IClassFactory {
 public:
  ClassFactory(ServerState& state, ComPtr<IDispatch> application)
      : state_(state), application_(std::move(application)) {}
  virtual ~ClassFactory() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return application_->QueryInterface(iid, object);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    lock ? state_.Connect() : state_.Disconnect();
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{1};
  ServerState& state_;
  ComPtr<IDispatch> application_;
};

class ClassObjectRegistration {
 public:
  ClassObjectRegistration(IUnknown* factory, const CLSID& classId) {
    result_ = WithOneRetry(
        [&] { return ::CoRegisterClassObject(classId, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_); });
  }
  ~ClassObjectRegistration() {
    if (SUCCEEDED(result_)) ::CoRevokeClassObject(cookie_);
  }
  ClassObjectRegistration(const ClassObjectRegistration&) = delete;
  ClassObjectRegistration& operator=(const ClassObjectRegistration&) = delete;
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_ = E_FAIL;
  DWORD cookie_ = 0;
};

class MessageFilterRegistration {
 public:
  explicit MessageFilterRegistration(IMessageFilter* filter) {
    result_ = ::CoRegisterMessageFilter(filter, previous_.GetAddressOf());
  }
  ~MessageFilterRegistration() {
    if (SUCCEEDED(result_)) ::CoRegisterMessageFilter(previous_.Get(), nullptr);
  }
  MessageFilterRegistration(const MessageFilterRegistration&) = delete;
  MessageFilterRegistration& operator=(const MessageFilterRegistration&) = delete;
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_ = E_FAIL;
  ComPtr<IMessageFilter> previous_;
};

int Serve(const Options& options) {
  const std::wstring scenarioPath =
      options.scenario.empty()
          ? ExeFolder() + L"\\" + ServerFileStem(Widen(options.application), options.instance) + L".scenario"
          : options.scenario;
  const auto dot = scenarioPath.find_last_of(L'.');
  const auto slash = scenarioPath.find_last_of(L"\\/");
  const std::wstring stem =
      dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash) ? scenarioPath.substr(0, dot) : scenarioPath;
  const ServerLog log(stem + L".log");
  const std::wstring readyFile = stem + L".ready";
  ::DeleteFileW(readyFile.c_str());
  log.Write(options.application + (options.instance > 1 ? " instance " + std::to_string(options.instance) : "") +
            (options.embedding ? " started by COM" : " started") + ", scenario " + Narrow(scenarioPath));

  bool found = false;
  const std::string text = ReadWholeFile(scenarioPath, &found);
  if (!found && !options.scenario.empty()) {
    log.Write("cannot read the scenario");
    return 2;
  }
  const ParseResult parsed = ParseScenario(text, options.application);
  if (!parsed.application) {
    log.Write("scenario " + parsed.error);
    return 2;
  }

  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  if (FAILED(apartment.Result())) {
    log.Write("CoInitializeEx failed " + Hex(apartment.Result()));
    return 3;
  }
  const Application& scenario = *parsed.application;
  const ApplicationKind& kind = *FindApplicationKind(scenario.name);
  const CLSID* classId = ClassIdOf(options.application);
  if (options.embedding && !classId) {
    log.Write(options.application + " has no class COM could start");
    return 4;
  }
  ServerState state;
  state.ArmTurningAway(scenario.busy, scenario.turnedAway);
  ComPtr<IMessageFilter> filter;
  filter.Attach(new BusyFilter(state));
  const MessageFilterRegistration filterRegistration(filter.Get());
  if (FAILED(filterRegistration.Result())) log.Write("CoRegisterMessageFilter failed " + Hex(filterRegistration.Result()));

  const ServedApplication served = MakeApplication(state, scenario);
  const ComPtr<IDispatch>& application = served.application;
  ComPtr<IClassFactory> factory;
  std::unique_ptr<ClassObjectRegistration> classObject;
  if (options.embedding) {
    state.EndWhenUnused(::GetCurrentThreadId());
    factory.Attach(new ClassFactory(state, application));
    classObject = std::make_unique<ClassObjectRegistration>(factory.Get(), *classId);
    if (FAILED(classObject->Result())) {
      log.Write("CoRegisterClassObject failed " + Hex(classObject->Result()));
      return 4;
    }
  }
  // Started by COM, the last client's release must be able to end us: the
  // table then holds the object weakly. As in Office, a second instance is
  // not the active object: only the table's document entries lead to it.
  // "register off" is an Office that has not registered yet, or one another
  // integrity level hides: running, but in no table.
  std::unique_ptr<ActiveObjectRegistration> active;
  if (options.instance == 1 && classId && scenario.registers) {
    active = std::make_unique<ActiveObjectRegistration>(application.Get(), *classId,
                                                        options.embedding ? ACTIVEOBJECT_WEAK : ACTIVEOBJECT_STRONG);
    if (FAILED(active->Result())) {
      log.Write("RegisterActiveObject failed " + Hex(active->Result()));
      return 4;
    }
  }
  const DocumentRegistrations documents(
      scenario.DocumentsInTable() ? served.documents : std::vector<ServedDocument>{}, !options.embedding, log);
  std::unique_ptr<MainWindow> mainWindow;
  if (kind.mainWindowClass) mainWindow = std::make_unique<MainWindow>(kind.mainWindowClass, Widen(scenario.title), log);
  CountsReporter reporter(state.counts, stem + L".counts");
  if (!reporter.Running()) log.Write("cannot answer count requests");
  if (!ReplaceFile(readyFile, std::to_string(::GetCurrentProcessId()) + "\r\n")) log.Write("cannot write the ready file");
  log.Write("ready");

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  log.Write("no client left; ending");
  ::DeleteFileW(readyFile.c_str());
  return 0;
}

}  // namespace
}  // namespace fake_office

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  fake_office::LetGoOfStandardHandles();
  fake_office::Options options;
  if (!fake_office::ParseOptions(options)) return 1;
  return fake_office::Serve(options);
}
