#pragma once

#include "library/unique_handle_win32.h"
#include "startup/startup.h"

namespace valmora {

// One instance per logon: a named mutex in the session's namespace, owned
// by the UI thread for the life of the process.
class lib_clsMutex : public InstanceGuard {
 public:
  lib_clsMutex();
  ~lib_clsMutex() override;
  lib_clsMutex(const lib_clsMutex&) = delete;
  lib_clsMutex& operator=(const lib_clsMutex&) = delete;

  bool InstExists() const override { return !hMutex; }

 private:
  UniqueKernelHandle hMutex;
};

}  // namespace valmora
