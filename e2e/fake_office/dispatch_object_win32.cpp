#include "dispatch_object_win32.h"

#include "com_support_win32.h"

namespace fake_office {

namespace {

HRESULT AnswerOf(FaultKind kind) {
  switch (kind) {
    case FaultKind::kBusy: return RPC_E_SERVERCALL_RETRYLATER;
    case FaultKind::kRejected: return RPC_E_CALL_REJECTED;
    case FaultKind::kIgnored: return kVbaIgnore;
    default: return S_OK;
  }
}

}  // namespace

void ServerState::ArmTurningAway(int busyCalls, TurnedAwayFrom turnedAway) {
  busyCalls_ = busyCalls;
  turnedAwayFrom_ = turnedAway;
}

HRESULT ServerState::TakeIncomingCall() {
  const int number = ++incomingCalls_;
  if (number <= busyCalls_) return RPC_E_SERVERCALL_RETRYLATER;
  const bool turnedAway = turnedAwayFrom_.kind != FaultKind::kNone && number >= turnedAwayFrom_.fromCall;
  return turnedAway ? AnswerOf(turnedAwayFrom_.kind) : S_OK;
}

void ServerState::Disconnect() {
  if (--connections_ == 0 && endThread_) ::PostThreadMessageW(endThread_, WM_QUIT, 0, 0);
}

ConnectionCounter::~ConnectionCounter() {
  // A client that vanished without releasing leaves connections behind.
  for (; strong_ > 0; --strong_) state_.Disconnect();
}

DWORD ConnectionCounter::AddConnection(DWORD type, DWORD) {
  if (!(type & EXTCONN_STRONG)) return 0;
  state_.Connect();
  return ++strong_;
}

DWORD ConnectionCounter::ReleaseConnection(DWORD type, DWORD, BOOL) {
  if (!(type & EXTCONN_STRONG) || strong_ == 0) return strong_;
  --strong_;
  state_.Disconnect();
  return strong_;
}

Arguments::Arguments(const DISPPARAMS* params) {
  const UINT count = params ? params->cArgs : 0;
  values_.resize(count);
  for (UINT i = 0; i < count; ++i) {
    ::VariantInit(&values_[i]);
    ::VariantCopyInd(&values_[i], &params->rgvarg[count - 1 - i]);
  }
}

Arguments::~Arguments() {
  for (VARIANT& value : values_) ::VariantClear(&value);
}

DispatchObject::DispatchObject(ServerState& state, std::string interfaceName, std::vector<Member> members, Faults faults)
    : ConnectionCounter(state),
      state_(state),
      interface_(std::move(interfaceName)),
      members_(std::move(members)),
      faults_(std::move(faults)) {}

HRESULT DispatchObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *object = static_cast<IDispatch*>(this);
  } else if (iid == IID_IExternalConnection) {
    *object = static_cast<IExternalConnection*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG DispatchObject::AddRef() { return ++references_; }

ULONG DispatchObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (const HRESULT refused = state_.TakeCallTurnedAway(); refused != S_OK) return refused;
  if (!names || !names[0] || !ids || count == 0) return E_INVALIDARG;
  const Member* found = nullptr;
  for (const Member& member : members_) {
    if (::_wcsicmp(member.name.c_str(), names[0]) == 0) found = &member;
  }
  state_.counts.CountName(interface_, found ? Narrow(found->name) : Narrow(names[0]).insert(0, 1, '?'));
  ids[0] = found ? found->id : DISPID_UNKNOWN;
  // Named arguments (Logon's Profile, ShowDialog, ...) are taken by position and ignored.
  for (UINT i = 1; i < count; ++i) ids[i] = static_cast<DISPID>(i - 1);
  return found ? S_OK : DISP_E_UNKNOWNNAME;
}

const Member* DispatchObject::Find(DISPID id) const {
  for (const Member& member : members_) {
    if (member.id == id) return &member;
  }
  return nullptr;
}

// A member that is busy (rejected, ignored) N times refuses its first N
// calls as a busy application refuses them, whatever the runtime does with
// message filters.
FaultKind DispatchObject::TakeTurnedAwayCall(const std::string& member) {
  const auto found = faults_.find(member);
  if (found == faults_.end() || found->second.times == 0) return FaultKind::kNone;
  --found->second.times;
  return found->second.kind;
}

HRESULT DispatchObject::InjectFault(const std::string& member, EXCEPINFO* exception) {
  const auto found = faults_.find(member);
  if (found == faults_.end()) return S_OK;
  switch (found->second.kind) {
    case FaultKind::kFails:
      return RaiseException(exception, E_FAIL, interface_ + "." + member + " failed, as the scenario asks");
    case FaultKind::kHangs:
      for (;;) ::Sleep(INFINITE);  // until the test kills the process
    case FaultKind::kExits:
      ::ExitProcess(3);  // as if the application had crashed mid-call
    case FaultKind::kBusy:  // these turn calls away before counting: see Invoke
    case FaultKind::kRejected:
    case FaultKind::kIgnored:
    case FaultKind::kIgnoredException:
    case FaultKind::kNone:
      break;
  }
  return S_OK;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argumentError) {
  if (const HRESULT refused = state_.TakeCallTurnedAway(); refused != S_OK) return refused;
  const Member* member = Find(id);
  const std::string name = member ? Narrow(member->name) : std::to_string(id).insert(0, 1, '#');
  if (const FaultKind turnedAway = TakeTurnedAwayCall(name); turnedAway != FaultKind::kNone) {
    state_.counts.CountRejected();
    if (turnedAway == FaultKind::kIgnoredException) {
      return RaiseException(exception, kVbaIgnore, interface_ + "." + name + " ignored: the application is busy");
    }
    return AnswerOf(turnedAway);
  }
  state_.counts.CountInvoke(interface_, name);
  if (!member) return DISP_E_MEMBERNOTFOUND;
  // Reads only: every member is a property get or a method.
  if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) || (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)))
    return DISP_E_MEMBERNOTFOUND;
  if (const HRESULT fault = InjectFault(name, exception); fault != S_OK) return fault;

  const Arguments arguments(params);
  Variant unused;
  VARIANT* out = result ? result : unused.Out();
  ::VariantInit(out);
  const HRESULT served = Serve(id, arguments, out);
  if (SUCCEEDED(served) || HRESULT_FACILITY(served) == FACILITY_DISPATCH) {
    if (served == DISP_E_TYPEMISMATCH && argumentError) *argumentError = 0;
    return served;
  }
  if (!exception) return served;
  return RaiseException(exception, served, interface_ + "." + name + " could not be served");
}

HRESULT RaiseException(EXCEPINFO* exception, SCODE code, const std::string& description) {
  if (exception) {
    *exception = {};
    exception->bstrSource = Bstr(L"fake_office").Detach();
    exception->bstrDescription = Bstr(Widen(description)).Detach();
    exception->scode = code;
  }
  return DISP_E_EXCEPTION;
}

HRESULT ReturnObject(IDispatch* object, VARIANT* result) {
  object->AddRef();
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
  return S_OK;
}

HRESULT ReturnText(const std::string& utf8, VARIANT* result) {
  result->vt = VT_BSTR;
  result->bstrVal = Bstr(Widen(utf8)).Detach();
  return result->bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnBool(bool value, VARIANT* result) {
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ReturnLong(long value, VARIANT* result) {
  result->vt = VT_I4;
  result->lVal = value;
  return S_OK;
}

HRESULT ConvertArgument(const VARIANT& argument, VARTYPE type, Variant& converted) {
  return ::VariantChangeType(converted.Out(), const_cast<VARIANT*>(&argument), 0, type);
}

long IndexArgument(const VARIANT& argument) {
  Variant number;
  if (FAILED(ConvertArgument(argument, VT_I4, number))) return 0;
  return number.get().lVal;
}

}  // namespace fake_office
