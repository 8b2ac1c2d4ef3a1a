// Late-bound automation calls by member name, made on one worker thread for
// one gather: each name looked up once per kind of object, calls turned away
// while the application is busy tried again within a budget, and no new call
// started once the gather has been called off.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "doclog/locale.h"
#include "library/com_win32.h"

namespace valmora {

// The retry budget of the call in progress, shared by the caller and the
// message filter of the same thread, and the gather's stop signal.
class CallBudget {
 public:
  // stopped is read before every call (cheap); stopEvent wakes a waiting retry.
  CallBudget(std::chrono::milliseconds busyRetry, const std::atomic<bool>& stopped, HANDLE stopEvent);
  void BeginCall();
  bool Stopped() const { return stopped_.load(); }
  // Within the budget of this call and not stopped.
  bool MayRetry() const;
  // Waits before trying a busy call again; false when it must not be tried.
  bool WaitBeforeRetry() const;
  static constexpr DWORD kRetryDelayMs = 150;

 private:
  ULONGLONG budgetMs_;
  const std::atomic<bool>& stopped_;
  HANDLE stopEvent_;
  ULONGLONG callStart_ = 0;
};

class DispatchCaller {
 public:
  explicit DispatchCaller(CallBudget& budget) : budget_(budget) {}

  // kind names the sort of object ("Workbook"): every object of a kind
  // shares its DISPIDs; nullptr for an object of unknown sort, asked for the
  // member's DISPID itself. At most one argument; flags as for Invoke.
  HRESULT Call(IDispatch* object, const wchar_t* kind, const wchar_t* member, VARIANT* result,
               const VARIANT* argument = nullptr, WORD flags = DISPATCH_PROPERTYGET);

  // Property reads; nothing when the call fails or gives another type.
  std::optional<bool> GetBool(IDispatch* object, const wchar_t* kind, const wchar_t* member);
  std::optional<std::wstring> GetText(IDispatch* object, const wchar_t* kind, const wchar_t* member);
  std::optional<LocalTime> GetTime(IDispatch* object, const wchar_t* kind, const wchar_t* member);
  ComPtr<IDispatch> GetDispatch(IDispatch* object, const wchar_t* kind, const wchar_t* member,
                                const VARIANT* argument = nullptr, WORD flags = DISPATCH_PROPERTYGET);

  // The collection's enumerator (_NewEnum); nothing when it offers none.
  ComPtr<IEnumVARIANT> Enumerate(IDispatch* collection);
  // Up to wanted elements into values (VariantInit'ed by the caller), the
  // count in fetched; S_FALSE when the enumeration came to its end.
  HRESULT Next(IEnumVARIANT* walker, ULONG wanted, VARIANT* values, ULONG* fetched);

  // No further call is made: the gather was called off, or the application
  // is gone (it ended or crashed during the walk).
  bool Stopped() const { return gone_ || budget_.Stopped(); }
  // The error the last call's exception carried (DISP_E_EXCEPTION), or S_OK.
  SCODE LastExceptionCode() const { return lastException_; }

 private:
  HRESULT Checked(HRESULT result);

  HRESULT Resolve(IDispatch* object, const wchar_t* member, DISPID* id);
  HRESULT Invoke(IDispatch* object, DISPID id, VARIANT* result, const VARIANT* argument, WORD flags);

  CallBudget& budget_;
  bool gone_ = false;
  SCODE lastException_ = S_OK;
  // "Kind.Member" -> DISPID; DISPID_UNKNOWN for a name the kind does not know.
  std::map<std::wstring, DISPID> ids_;
};

// VARIANT conversions: nothing for a type that cannot stand for the value.
std::optional<bool> ToBool(const VARIANT& value);
std::optional<std::wstring> ToText(const VARIANT& value);
std::optional<LocalTime> ToLocalTime(const VARIANT& value);
std::optional<long> ToCount(const VARIANT& value);
ComPtr<IDispatch> ToDispatch(const VARIANT& value);

}  // namespace valmora
