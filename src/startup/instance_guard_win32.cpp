#include "startup/instance_guard_win32.h"

namespace valmora {

lib_clsMutex::lib_clsMutex() {
  UniqueKernelHandle handle(::CreateMutexW(nullptr, FALSE, L"iValmorai"));
  if (!handle) return;
  // WAIT_ABANDONED: the last owner died without releasing; we own it now.
  const DWORD result = ::WaitForSingleObject(handle.get(), 1);
  if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) hMutex = std::move(handle);
}

lib_clsMutex::~lib_clsMutex() {
  if (hMutex) ::ReleaseMutex(hMutex.get());
}

}  // namespace valmora
