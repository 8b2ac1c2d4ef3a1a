#include "process_readings_win32.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

#include "library/unique_handle_win32.h"

namespace e2e {
namespace {

double Seconds(const FILETIME& time) {
  return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
}

// The process's entry in the system's process list, copied out; false when absent.
bool SystemEntry(DWORD processId, SYSTEM_PROCESS_INFORMATION* found) {
  std::vector<BYTE> buffer(256 * 1024);
  NTSTATUS status;
  ULONG needed = 0;
  constexpr NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
  // The list can grow between the two calls: a few tries.
  for (int attempt = 0; attempt < 4; ++attempt) {
    status = ::NtQuerySystemInformation(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                                        &needed);
    if (status != kLengthMismatch) break;
    buffer.resize(needed + 64 * 1024);
  }
  if (status < 0) return false;
  for (size_t offset = 0;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId)) == processId) {
      *found = *entry;
      return true;
    }
    if (entry->NextEntryOffset == 0) return false;
    offset += entry->NextEntryOffset;
  }
}

struct WindowCount {
  DWORD processId;
  DWORD count;
};

BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
  ++reinterpret_cast<WindowCount*>(lParam)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM lParam) {
  auto* windows = reinterpret_cast<WindowCount*>(lParam);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == windows->processId) {
    ++windows->count;
    ::EnumChildWindows(window, CountChild, lParam);  // all descendants, not just children
  }
  return TRUE;
}

}  // namespace

CpuTime CpuOf(HANDLE process) {
  CpuTime cpu;
  FILETIME created, exited, kernel, user;
  if (::GetProcessTimes(process, &created, &exited, &kernel, &user)) cpu.process = Seconds(kernel) + Seconds(user);
  const DWORD processId = ::GetProcessId(process);
  // UniqueFile: the snapshot fails with INVALID_HANDLE_VALUE.
  const valmora::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  if (!snapshot || !::Thread32First(snapshot.get(), &entry)) return cpu;
  do {
    if (entry.th32OwnerProcessID != processId) continue;
    const valmora::UniqueKernelHandle thread(::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
    if (thread && ::GetThreadTimes(thread.get(), &created, &exited, &kernel, &user))
      cpu.threads += Seconds(kernel) + Seconds(user);
  } while (::Thread32Next(snapshot.get(), &entry));
  return cpu;
}

Resources ResourcesOf(HANDLE process) {
  Resources resources;
  ::GetProcessHandleCount(process, &resources.handles);
  resources.gdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
  resources.userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (::GetProcessMemoryInfo(process, &memory, sizeof memory)) {
    resources.privateBytes = memory.PagefileUsage;
    resources.workingSet = memory.WorkingSetSize;
  }
  const DWORD processId = ::GetProcessId(process);
  SYSTEM_PROCESS_INFORMATION entry{};
  if (SystemEntry(processId, &entry)) {
    resources.handleTable = entry.HandleCount;
    resources.threads = entry.NumberOfThreads;
  }
  WindowCount windows{processId, 0};
  ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
  resources.windows = windows.count;
  return resources;
}

}  // namespace e2e
