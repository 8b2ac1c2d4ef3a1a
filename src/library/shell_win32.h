// The shell's "open" through ShellExecuteExW.
#pragma once

#include "library/shell.h"

namespace valmora {

// Call Open on a thread that has joined a single-threaded apartment
// (CoInitializeEx with COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE),
// as the UI thread does from start-up: shell extensions and handlers may
// need one. A thread without COM gets an apartment for the call only; a
// thread in the multithreaded apartment is left in it.
//
// Open waits until the handler has been started and shows no error dialog
// of the shell's own: a failure says why nothing was started. A path too long for
// the shell is handed over in its short (8.3) form where the volume has one.
class Win32Shell : public Shell {
 public:
  ShellOpen Open(const std::wstring& target, ShowWindowAs show) override;
};

}  // namespace valmora
