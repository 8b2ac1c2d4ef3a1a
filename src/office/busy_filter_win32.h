// The worker thread's answer when an application turns a call away as busy
// (a cell being edited, a modal dialog): try again shortly, within the call's
// budget, then give up so that only that field fails.
#pragma once

#include <windows.h>
#include <objidl.h>

#include "office/dispatch_call_win32.h"

namespace valmora {

// Lives on the worker's stack for as long as it is registered.
class BusyRetryFilter : public IMessageFilter {
 public:
  explicit BusyRetryFilter(const CallBudget& budget) : budget_(budget) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP_(DWORD) HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override { return SERVERCALL_ISHANDLED; }
  STDMETHODIMP_(DWORD) RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override;
  STDMETHODIMP_(DWORD) MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

 private:
  const CallBudget& budget_;
};

// Registers a filter on this thread and puts the previous one back.
class ScopedMessageFilter {
 public:
  explicit ScopedMessageFilter(IMessageFilter* filter);
  ~ScopedMessageFilter();
  ScopedMessageFilter(const ScopedMessageFilter&) = delete;
  ScopedMessageFilter& operator=(const ScopedMessageFilter&) = delete;

 private:
  bool registered_ = false;
  ComPtr<IMessageFilter> previous_;
};

}  // namespace valmora
