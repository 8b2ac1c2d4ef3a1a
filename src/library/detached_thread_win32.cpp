#include "library/detached_thread_win32.h"

#include <windows.h>

#include <memory>

#include "library/unique_handle_win32.h"

namespace valmora {

namespace {

DWORD WINAPI RunDetached(void* parameter) {
  const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  try {
    (*work)();
  } catch (...) {  // nothing may escape a thread
  }
  return 0;
}

}  // namespace

bool StartDetachedThread(std::function<void()> work) {
  try {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    const UniqueKernelHandle thread(::CreateThread(nullptr, 0, RunDetached, owned.get(), 0, nullptr));
    if (!thread) return false;
    (void)owned.release();  // the thread owns it now
    return true;
  } catch (...) {  // no memory for the work
    return false;
  }
}

}  // namespace valmora
