// What another process costs, read from outside it: CPU time, handles,
// GUI objects, memory. Where Wine 8 leaves a reading empty or coarse, a
// second reading of the same thing sits beside it (see each field).
#pragma once

#include <windows.h>

namespace e2e {

struct CpuTime {
  double process = 0;  // GetProcessTimes; Wine 8 does not count another process's time here
  // Summed over its live threads (GetThreadTimes: from the Linux kernel under
  // Wine, in 10 ms steps). Misses threads that ended between two readings; a
  // busy loop would be on one that lives.
  double threads = 0;
};

struct Resources {
  DWORD handles = 0;      // GetProcessHandleCount; 0 under Wine 8
  DWORD handleTable = 0;  // the system's process list: the count on Windows, the table's size (powers of 2) under Wine
  DWORD threads = 0;
  DWORD gdiObjects = 0;   // GetGuiResources; 0 under Wine 8
  DWORD userObjects = 0;  // GetGuiResources; 0 under Wine 8
  DWORD windows = 0;      // its top-level and child windows: the USER objects that Wine can show
  SIZE_T privateBytes = 0;  // PagefileUsage, which is PrivateUsage on Windows; Wine fills only this one
  SIZE_T workingSet = 0;
};

// process: opened with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ.
CpuTime CpuOf(HANDLE process);
Resources ResourcesOf(HANDLE process);

}  // namespace e2e
