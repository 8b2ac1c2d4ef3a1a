// The hand-written IDispatch under every fake object: names to DISPIDs,
// counting, injected faults, and the reference counts that end the server.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "call_counts.h"
#include "com_support_win32.h"
#include "scenario.h"

namespace fake_office {

// What the objects of one server process share. Lives as long as the process.
class ServerState {
 public:
  CallCounts counts;

  // The application-wide rules: the first busyCalls incoming IDispatch calls
  // are busy, and every one from turnedAway.fromCall on is turned away.
  void ArmTurningAway(int busyCalls, TurnedAwayFrom turnedAway);
  // Counts one incoming IDispatch call; what it is answered with, S_OK when it is served.
  HRESULT TakeIncomingCall();

  // The message filter turned the call now arriving away. Wine 8 ignores that
  // answer and delivers the call anyway; the object then refuses it itself.
  void MarkCallTurnedAway(HRESULT answer) { turnedAway_ = answer; }
  HRESULT TakeCallTurnedAway() { return std::exchange(turnedAway_, S_OK); }

  // External strong connections over all objects; a server that COM started
  // ends when the last one goes.
  void EndWhenUnused(DWORD mainThread) { endThread_ = mainThread; }
  void Connect() { ++connections_; }
  void Disconnect();

 private:
  int busyCalls_ = 0;                   // set before the first call
  TurnedAwayFrom turnedAwayFrom_;
  std::atomic<int> incomingCalls_{0};
  HRESULT turnedAway_ = S_OK;  // touched on the apartment's thread only
  std::atomic<long> connections_{0};
  DWORD endThread_ = 0;
};

// IExternalConnection for every object handed out, so the server knows when
// no client holds anything any more.
class ConnectionCounter : public IExternalConnection {
 public:
  explicit ConnectionCounter(ServerState& state) : state_(state) {}
  virtual ~ConnectionCounter();
  STDMETHODIMP_(DWORD) AddConnection(DWORD type, DWORD reserved) override;
  STDMETHODIMP_(DWORD) ReleaseConnection(DWORD type, DWORD reserved, BOOL lastReleaseCloses) override;

 private:
  ServerState& state_;
  DWORD strong_ = 0;
};

struct Member {
  std::wstring name;
  DISPID id;
};

// Arguments in call order (DISPPARAMS holds them last first), references resolved.
class Arguments {
 public:
  explicit Arguments(const DISPPARAMS* params);
  ~Arguments();
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  size_t size() const { return values_.size(); }
  const VARIANT& operator[](size_t i) const { return values_[i]; }

 private:
  std::vector<VARIANT> values_;
};

class DispatchObject : public IDispatch, public ConnectionCounter {
 public:
  DispatchObject(ServerState& state, std::string interfaceName, std::vector<Member> members, Faults faults);
  ~DispatchObject() override = default;
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;

 protected:
  // Serves one member already counted and past its faults. A failure other
  // than a DISP_E_ code reaches the client as DISP_E_EXCEPTION with that code.
  virtual HRESULT Serve(DISPID id, const Arguments& arguments, VARIANT* result) = 0;

  ServerState& state() { return state_; }

 private:
  const Member* Find(DISPID id) const;
  // The member's own turning-away fault, while it has calls left to turn away.
  FaultKind TakeTurnedAwayCall(const std::string& member);
  HRESULT InjectFault(const std::string& member, EXCEPINFO* exception);

  std::atomic<ULONG> references_{1};
  ServerState& state_;
  std::string interface_;
  std::vector<Member> members_;
  Faults faults_;
};

// Fills exception (when the caller gave one) and answers DISP_E_EXCEPTION.
HRESULT RaiseException(EXCEPINFO* exception, SCODE code, const std::string& description);

// The shape every Serve uses to hand back an object, text, flag or number.
HRESULT ReturnObject(IDispatch* object, VARIANT* result);
HRESULT ReturnText(const std::string& utf8, VARIANT* result);
HRESULT ReturnBool(bool value, VARIANT* result);
HRESULT ReturnLong(long value, VARIANT* result);
HRESULT ConvertArgument(const VARIANT& argument, VARTYPE type, Variant& converted);
// A 1-based index argument, or 0 when it is no number.
long IndexArgument(const VARIANT& argument);

}  // namespace fake_office
