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
  const bool busy = automation && state_.TakeBusyCall();
  if (busy) state_.counts.CountRejected();
  state_.MarkCallRejected(busy);
  return busy ? SERVERCALL_RETRYLATER : SERVERCALL_ISHANDLED;
}

DWORD BusyFilter::RetryRejectedCall(HTASK, DWORD, DWORD) { return static_cast<DWORD>(-1); }

DWORD BusyFilter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITDEFPROCESS; }

}  // namespace fake_office
