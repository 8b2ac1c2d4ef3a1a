#include "office/busy_filter_win32.h"

namespace valmora {

STDMETHODIMP BusyRetryFilter::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid != IID_IUnknown && iid != IID_IMessageFilter) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = static_cast<IMessageFilter*>(this);
  return S_OK;
}

STDMETHODIMP_(DWORD) BusyRetryFilter::RetryRejectedCall(HTASK, DWORD, DWORD rejectType) {
  // A plain rejection will not pass later; "retry later" may, while the budget lasts.
  if (rejectType == SERVERCALL_RETRYLATER && budget_.MayRetry()) return CallBudget::kRetryDelayMs;
  return static_cast<DWORD>(-1);
}

ScopedMessageFilter::ScopedMessageFilter(IMessageFilter* filter) {
  registered_ = SUCCEEDED(::CoRegisterMessageFilter(filter, previous_.GetAddressOf()));
}

ScopedMessageFilter::~ScopedMessageFilter() {
  if (registered_) ::CoRegisterMessageFilter(previous_.Get(), nullptr);
}

}  // namespace valmora
