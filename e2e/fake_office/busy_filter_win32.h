// The server's IMessageFilter: turns calls away while the application is busy.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <atomic>

#include "dispatch_object_win32.h"

namespace fake_office {

class BusyFilter : public IMessageFilter {
 public:
  explicit BusyFilter(ServerState& state) : state_(state) {}
  virtual ~BusyFilter() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP_(DWORD) HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount, LPINTERFACEINFO info) override;
  STDMETHODIMP_(DWORD) RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
  STDMETHODIMP_(DWORD) MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

 private:
  std::atomic<ULONG> references_{1};
  ServerState& state_;
};

}  // namespace fake_office
