#include "office/dispatch_call_win32.h"

namespace valmora {

namespace {

// Excel's own "busy" (VBA_E_IGNORE), returned or carried by its exception.
constexpr HRESULT kOfficeBusy = static_cast<HRESULT>(0x800AC472);

// Busy is "ask again later", never "not there". Wine hands a server's "retry
// later" back as the call's result instead of asking the message filter; a
// filter that gives up, or Excel while a cell is edited, yields "rejected".
bool IsBusy(HRESULT result) {
  return result == RPC_E_SERVERCALL_RETRYLATER || result == RPC_E_CALL_REJECTED || result == kOfficeBusy;
}

// The server process has gone away: every later call would fail as well.
bool IsGone(HRESULT result) {
  return result == RPC_E_DISCONNECTED || result == RPC_E_SERVER_DIED || result == RPC_E_SERVER_DIED_DNE ||
         result == CO_E_OBJNOTCONNECTED || result == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
         result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) || result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE);
}

}  // namespace

CallBudget::CallBudget(std::chrono::milliseconds busyRetry, const std::atomic<bool>& stopped, HANDLE stopEvent)
    : budgetMs_(busyRetry.count() > 0 ? static_cast<ULONGLONG>(busyRetry.count()) : 0),
      stopped_(stopped),
      stopEvent_(stopEvent) {}

void CallBudget::BeginCall() { callStart_ = ::GetTickCount64(); }

bool CallBudget::MayRetry() const { return ::GetTickCount64() - callStart_ < budgetMs_ && !Stopped(); }

bool CallBudget::WaitBeforeRetry() const {
  if (!MayRetry()) return false;
  // Pumps as an apartment must while it waits; a stop ends the wait at once.
  DWORD index = 0;
  HANDLE stop = stopEvent_;
  const HRESULT waited = ::CoWaitForMultipleHandles(0, kRetryDelayMs, 1, &stop, &index);
  return waited == RPC_S_CALLPENDING;
}

HRESULT DispatchCaller::Checked(HRESULT result) {
  if (IsGone(result)) gone_ = true;
  return result;
}

HRESULT DispatchCaller::Resolve(IDispatch* object, const wchar_t* member, DISPID* id) {
  LPOLESTR name = const_cast<LPOLESTR>(member);
  budget_.BeginCall();
  for (;;) {
    const HRESULT result = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, id);
    if (!IsBusy(result) || !budget_.WaitBeforeRetry()) return Checked(result);
  }
}

HRESULT DispatchCaller::Invoke(IDispatch* object, DISPID id, VARIANT* result, const VARIANT* argument, WORD flags) {
  VARIANT copy;  // DISPPARAMS wants it writable; Invoke leaves in-arguments alone
  DISPPARAMS params{};
  if (argument) {
    copy = *argument;
    params.rgvarg = &copy;
    params.cArgs = 1;
  }
  budget_.BeginCall();
  for (;;) {
    ::VariantClear(result);
    ExceptionInfo exception;
    UINT argumentError = 0;
    HRESULT called =
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception.get(), &argumentError);
    lastException_ = called == DISP_E_EXCEPTION ? exception.Code() : S_OK;
    if (lastException_ == kOfficeBusy) called = kOfficeBusy;
    if (!IsBusy(called) || !budget_.WaitBeforeRetry()) return Checked(called);
  }
}

HRESULT DispatchCaller::Call(IDispatch* object, const wchar_t* kind, const wchar_t* member, VARIANT* result,
                             const VARIANT* argument, WORD flags) {
  if (!object) return E_POINTER;
  if (Stopped()) return E_ABORT;
  if (!kind) {
    DISPID own = DISPID_UNKNOWN;
    const HRESULT resolved = Resolve(object, member, &own);
    return FAILED(resolved) ? resolved : Invoke(object, own, result, argument, flags);
  }
  const std::wstring key = std::wstring(kind) + L"." + member;
  DISPID id = DISPID_UNKNOWN;
  const auto known = ids_.find(key);
  const bool cached = known != ids_.end();
  if (cached) {
    if (known->second == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    id = known->second;
  } else {
    const HRESULT resolved = Resolve(object, member, &id);
    if (resolved == DISP_E_UNKNOWNNAME) ids_[key] = DISPID_UNKNOWN;
    if (FAILED(resolved)) return resolved;  // busy or cut off: asked again next time
    ids_[key] = id;
  }
  HRESULT called = Invoke(object, id, result, argument, flags);
  if (called == DISP_E_MEMBERNOTFOUND && cached && !Stopped()) {
    // An object of another type under the same kind (an appointment among
    // mail items) may number its members differently: ask this one itself.
    DISPID own = DISPID_UNKNOWN;
    if (SUCCEEDED(Resolve(object, member, &own)) && own != id) called = Invoke(object, own, result, argument, flags);
  }
  return called;
}

ComPtr<IEnumVARIANT> DispatchCaller::Enumerate(IDispatch* collection) {
  ComPtr<IEnumVARIANT> walker;
  if (!collection || Stopped()) return walker;
  Variant value;
  if (FAILED(Invoke(collection, DISPID_NEWENUM, value.Out(), nullptr, DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
    return walker;
  const VARIANT& got = value.get();
  IUnknown* unknown = got.vt == VT_UNKNOWN ? got.punkVal : got.vt == VT_DISPATCH ? got.pdispVal : nullptr;
  if (unknown) unknown->QueryInterface(IID_PPV_ARGS(walker.GetAddressOf()));
  return walker;
}

HRESULT DispatchCaller::Next(IEnumVARIANT* walker, ULONG wanted, VARIANT* values, ULONG* fetched) {
  *fetched = 0;
  if (Stopped()) return E_ABORT;
  budget_.BeginCall();
  for (;;) {
    const HRESULT result = walker->Next(wanted, values, fetched);
    if (!IsBusy(result) || !budget_.WaitBeforeRetry()) return Checked(result);
    *fetched = 0;
  }
}

std::optional<bool> DispatchCaller::GetBool(IDispatch* object, const wchar_t* kind, const wchar_t* member) {
  Variant value;
  if (FAILED(Call(object, kind, member, value.Out()))) return std::nullopt;
  return ToBool(value.get());
}

std::optional<std::wstring> DispatchCaller::GetText(IDispatch* object, const wchar_t* kind, const wchar_t* member) {
  Variant value;
  if (FAILED(Call(object, kind, member, value.Out()))) return std::nullopt;
  return ToText(value.get());
}

std::optional<LocalTime> DispatchCaller::GetTime(IDispatch* object, const wchar_t* kind, const wchar_t* member) {
  Variant value;
  if (FAILED(Call(object, kind, member, value.Out()))) return std::nullopt;
  return ToLocalTime(value.get());
}

ComPtr<IDispatch> DispatchCaller::GetDispatch(IDispatch* object, const wchar_t* kind, const wchar_t* member,
                                              const VARIANT* argument, WORD flags) {
  Variant value;
  if (FAILED(Call(object, kind, member, value.Out(), argument, flags))) return nullptr;
  return ToDispatch(value.get());
}

std::optional<bool> ToBool(const VARIANT& value) {
  switch (value.vt) {
    case VT_BOOL:
      return value.boolVal != VARIANT_FALSE;
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT: {
      // A number is a Boolean the way the object models mean it; a text is not.
      VARIANT source = value, converted;  // numbers only: nothing to own or free
      ::VariantInit(&converted);
      if (FAILED(::VariantChangeType(&converted, &source, 0, VT_BOOL))) return std::nullopt;
      return converted.boolVal != VARIANT_FALSE;
    }
    default:
      return std::nullopt;
  }
}

std::optional<std::wstring> ToText(const VARIANT& value) {
  if (value.vt != VT_BSTR) return std::nullopt;
  return std::wstring(value.bstrVal ? value.bstrVal : L"", ::SysStringLen(value.bstrVal));
}

std::optional<LocalTime> ToLocalTime(const VARIANT& value) {
  if (value.vt != VT_DATE) return std::nullopt;
  SYSTEMTIME time{};
  if (!::VariantTimeToSystemTime(value.date, &time)) return std::nullopt;
  return LocalTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

std::optional<long> ToCount(const VARIANT& value) {
  VARIANT source = value, converted;  // numbers only: nothing to own or free
  ::VariantInit(&converted);
  switch (value.vt) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT:
      if (FAILED(::VariantChangeType(&converted, &source, 0, VT_I4)) || converted.lVal < 0) return std::nullopt;
      return converted.lVal;
    default:
      return std::nullopt;
  }
}

ComPtr<IDispatch> ToDispatch(const VARIANT& value) {
  ComPtr<IDispatch> object;
  if (value.vt == VT_DISPATCH) {
    object = value.pdispVal;
  } else if (value.vt == VT_UNKNOWN && value.punkVal) {
    value.punkVal->QueryInterface(IID_PPV_ARGS(object.GetAddressOf()));
  }
  return object;
}

}  // namespace valmora
