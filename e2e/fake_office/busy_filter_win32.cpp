#include "busy_filter_win32.h"

namespace fake_office {

HRESULT BusyFilter::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
    *object = static_cast<IMessageFilter*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG BusyFilter::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

DWORD BusyFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) {
  // Only automation calls: turning away reference counting would leak objects.
  constexpr WORD kGetIdsOfNames = 5, kInvoke = 6;
  const bool automation = info && info->iid == IID_IDispatch && (info->wMethod == kGetIdsOfNames || info->wMethod == kInvoke);
  const HRESULT answer = automation ? state_.TakeIncomingCall() : S_OK;
  if (answer != S_OK) state_.counts.CountRejected();
  state_.MarkCallTurnedAway(answer);
  // A busy Excel that answers VBA_E_IGNORE has taken the call: the object gives that result.
  if (answer == RPC_E_SERVERCALL_RETRYLATER) return SERVERCALL_RETRYLATER;
  if (answer == RPC_E_CALL_REJECTED) return SERVERCALL_REJECTED;
  return SERVERCALL_ISHANDLED;
}

DWORD BusyFilter::RetryRejectedCall(HTASK, DWORD, DWORD) { return static_cast<DWORD>(-1); }

DWORD BusyFilter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITDEFPROCESS; }

}  // namespace fake_office
