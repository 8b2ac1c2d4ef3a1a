// What watch mode costs while it waits and whether it grows as it ticks:
// the CPU time of an idle watch run against a plain message loop (idle_window.exe)
// over the same minute, and the handles, GUI objects and memory of a run
// ticking every second after 10 ticks against after 200, its memory's growth
// against that of a bare COM client (com_attach_loop.exe) ticking beside it.
// Run by run_bench.sh.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "fake_office.h"
#include "harness.h"
#include "library/registry.h"
#include "library/registry_win32.h"
#include "library/unique_handle_win32.h"
#include "mainwindow/control_ids.h"
#include "process_readings_win32.h"
#include "watch/logon.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;
using Clock = std::chrono::steady_clock;

constexpr auto kIdleMinute = 60s;
constexpr int kEarlyTicks = 10;

// 200, or VALMORA_WATCH_TICKS for a longer soak.
int LateTicks() {
  const int ticks = _wtoi(EnvOr(L"VALMORA_WATCH_TICKS", L"200").c_str());
  return ticks >= 4 * kEarlyTicks ? ticks : 200;
}

// Registered for watch mode, so start-up asks nothing; gone afterwards.
class WatchRegistration {
 public:
  explicit WatchRegistration(const TestFolder& folder) {
    valmora::WriteRegValue(api_, valmora::WatchRunCommand(folder.Path(), L"Valmora"), valmora::kHkeyCurrentUser,
                           valmora::kRunKey, L"Valmora", true);
  }
  ~WatchRegistration() { valmora::DeleteRegEntry(api_, valmora::kHkeyCurrentUser, valmora::kRunKey, L"Valmora"); }
  WatchRegistration(const WatchRegistration&) = delete;
  WatchRegistration& operator=(const WatchRegistration&) = delete;

 private:
  valmora::Win32RegistryApi api_;
};

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
  const auto deadline = Clock::now() + bound;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

ULONGLONG LastWrite(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// Waits for the log to be rewritten after `seen` (a last-write time); the new time, or 0.
ULONGLONG NextWrite(const std::wstring& log, ULONGLONG seen, std::chrono::milliseconds bound) {
  ULONGLONG now = 0;
  WaitUntil([&] { return (now = LastWrite(log)) > seen; }, bound);
  return now > seen ? now : 0;
}

std::wstring BenchFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring exe(path, length);
  return exe.substr(0, exe.find_last_of(L'\\'));
}

valmora::UniqueKernelHandle Open(DWORD processId) {
  return valmora::UniqueKernelHandle(
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId));
}

std::string Ratio(double measured, double baseline) {
  if (baseline <= 0) return measured <= 0 ? "n/a (both 0)" : "n/a (baseline 0)";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", measured / baseline);
  return text;
}

// Wine's version when the bench runs under Wine, where some readings are empty.
const char* WineVersion() {
  using Version = const char*(CDECL*)();
  const auto version = reinterpret_cast<Version>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
  return version ? version() : nullptr;
}

void NoteWine(const char* readings) {
  if (const char* version = WineVersion())
    std::printf("         under Wine %s, %s\n", version, readings);
}

void HideInTray(HWND window, const std::wstring& log) {
  const ULONGLONG before = LastWrite(log);
  ::PostMessageW(window, WM_CLOSE, 0, 0);  // the close box of a watch run: into the tray, one scan
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }, 20s));
  ASSERT_NE(NextWrite(log, before, 20s), 0u) << "the hide's scan";
}

TEST(WatchBench, IdleCpuAgainstAPlainMessageLoop) {
  TestFolder folder(L"bench_watch_idle");
  WatchRegistration registration(folder);
  Process valmora(folder.Exe(), L"/watch=600");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return LastWrite(folder.Log()) != 0; }, 30s)) << "the start-up scan";
  ASSERT_NO_FATAL_FAILURE(HideInTray(main, folder.Log()));

  Process baseline(BenchFolder() + L"\\idle_window.exe", L"");
  HWND idle = baseline.WaitForWindow(L"ValmoraIdleBaseline");
  ASSERT_NE(idle, nullptr);
  ::ShowWindow(idle, SW_HIDE);  // both wait hidden, as a watch run does in the tray
  std::this_thread::sleep_for(10s);  // both settled: loaded, painted, the scan's workers gone

  const auto valmoraHandle = Open(valmora.Id());
  const auto baselineHandle = Open(baseline.Id());
  ASSERT_TRUE(valmoraHandle && baselineHandle);
  const CpuTime valmoraStart = CpuOf(valmoraHandle.get());
  const CpuTime baselineStart = CpuOf(baselineHandle.get());
  const auto start = Clock::now();
  std::this_thread::sleep_for(kIdleMinute);
  const CpuTime valmoraEnd = CpuOf(valmoraHandle.get());
  const CpuTime baselineEnd = CpuOf(baselineHandle.get());
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();

  const auto print = [&](const char* source, double valmoraCpu, double baselineCpu, bool counts) {
    std::printf("watch idle CPU over %.0f s (%s): valmora %.2f s, baseline %.2f s, ratio %s\n", wall, source,
                valmoraCpu, baselineCpu, counts ? Ratio(valmoraCpu, baselineCpu).c_str() : "n/a");
  };
  print("process times", valmoraEnd.process - valmoraStart.process, baselineEnd.process - baselineStart.process,
        WineVersion() == nullptr);
  NoteWine("which does not count another process's CPU time in its process times; its threads' times do");
  print("its threads' times", valmoraEnd.threads - valmoraStart.threads, baselineEnd.threads - baselineStart.threads,
        true);
  std::printf("         since start: valmora process %.2f s, threads %.2f s; baseline process %.2f s, threads %.2f s\n",
              valmoraEnd.process, valmoraEnd.threads, baselineEnd.process, baselineEnd.threads);
  if (valmoraEnd.threads == valmoraStart.threads && baselineEnd.threads == baselineStart.threads)
    std::printf("         neither used a step of the clock in the minute: no busy waiting\n");
  std::fflush(stdout);

  PressDialogButton(main, ids::kCmdExit);
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
  ::PostMessageW(idle, WM_CLOSE, 0, 0);
  EXPECT_EQ(baseline.WaitForExit(20s), 0u);
}

// Between two ticks: the least of a few readings, so a scan's worker that is
// still ending (its thread, its memory) does not count as growth.
Resources Settled(HANDLE process) {
  std::this_thread::sleep_for(300ms);
  Resources least = ResourcesOf(process);
  for (int reading = 1; reading < 5; ++reading) {
    std::this_thread::sleep_for(100ms);
    const Resources now = ResourcesOf(process);
    least.handles = std::min(least.handles, now.handles);
    least.handleTable = std::min(least.handleTable, now.handleTable);
    least.threads = std::min(least.threads, now.threads);
    least.gdiObjects = std::min(least.gdiObjects, now.gdiObjects);
    least.userObjects = std::min(least.userObjects, now.userObjects);
    least.windows = std::min(least.windows, now.windows);
    least.privateBytes = std::min(least.privateBytes, now.privateBytes);
    least.workingSet = std::min(least.workingSet, now.workingSet);
  }
  return least;
}

// The middle reading tells growth that goes on from warming up that stopped.
void PrintGrowth(const char* what, int lateTicks, double early, double middle, double late, const char* unit) {
  std::printf("watch growth %-13s after %d/%d/%d ticks %8.0f%s %8.0f%s %8.0f%s, ratio %d/%d %s\n", what, kEarlyTicks,
              lateTicks / 2, lateTicks, early, unit, middle, unit, late, unit, lateTicks, kEarlyTicks,
              Ratio(late, early).c_str());
}

TEST(WatchBench, HandlesObjectsAndMemoryAfterTwoHundredTicksAgainstTen) {
  // Something for every tick to scan: each application answers.
  FakeOffice excel(L"Excel",
                   "[Excel]\nworkbook C:\\Data\\Budget.xlsx\n  Saved = false\nworkbook C:\\Data\\Plan.xlsx\n");
  FakeOffice word(L"Word", "[Word]\ndocument C:\\Data\\Report.docx\ndocument Document1\n  Saved = false\n");
  FakeOffice outlook(L"Outlook",
                     "[Outlook]\ninspector\n  EntryID = 00AB12\n  Subject = Lunch\n"
                     "  CreationTime = 2026-05-12 09:30\n");
  ASSERT_TRUE(excel.Start() && word.Start() && outlook.Start());
  TestFolder folder(L"bench_watch_growth");
  WatchRegistration registration(folder);
  Process valmora(folder.Exe(), L"/watch=1");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }, 30s)) << "the first tick hides the window";
  const auto handle = Open(valmora.Id());
  ASSERT_TRUE(handle);
  // Ticking beside it: the COM attaches of a tick and nothing else.
  Process comClient(BenchFolder() + L"\\com_attach_loop.exe", L"");
  const auto clientHandle = Open(comClient.Id());
  ASSERT_TRUE(clientHandle);

  // A tick is a rewrite of the log; a tick Xvfb dropped is not counted, two
  // while the readings are taken count as one.
  ULONGLONG seen = LastWrite(folder.Log());
  const int lateTicks = LateTicks();
  int ticks = 0;
  Resources early, middle, clientEarly, clientMiddle;
  const auto start = Clock::now();
  while (ticks < lateTicks) {
    seen = NextWrite(folder.Log(), seen, 30s);
    ASSERT_NE(seen, 0u) << "no tick for 30 s after " << ticks;
    ++ticks;
    if (ticks == kEarlyTicks) {
      early = Settled(handle.get());
      clientEarly = Settled(clientHandle.get());
      excel.ResetCounts();
    }
    if (ticks == lateTicks / 2) {
      middle = Settled(handle.get());
      clientMiddle = Settled(clientHandle.get());
    }
  }
  const Resources late = Settled(handle.get());
  const Resources clientLate = Settled(clientHandle.get());
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  long excelCalls = 0;
  for (const auto& [member, count] : excel.Counts().members) excelCalls += count.names + count.invokes;

  std::printf("watch growth over %d ticks in %.0f s; the fake Excel answered %.1f calls per tick\n", lateTicks,
              seconds, static_cast<double>(excelCalls) / (lateTicks - kEarlyTicks));
  NoteWine("which gives 0 for another process's handles, GDI and USER objects and shows its handle table's size");
  PrintGrowth("handles", lateTicks, early.handles, middle.handles, late.handles, "");
  PrintGrowth("handle table", lateTicks, early.handleTable, middle.handleTable, late.handleTable, "");
  PrintGrowth("threads", lateTicks, early.threads, middle.threads, late.threads, "");
  PrintGrowth("GDI objects", lateTicks, early.gdiObjects, middle.gdiObjects, late.gdiObjects, "");
  PrintGrowth("USER objects", lateTicks, early.userObjects, middle.userObjects, late.userObjects, "");
  PrintGrowth("windows", lateTicks, early.windows, middle.windows, late.windows, "");
  PrintGrowth("private bytes", lateTicks, early.privateBytes / 1024.0, middle.privateBytes / 1024.0,
              late.privateBytes / 1024.0, " KB");
  PrintGrowth("working set", lateTicks, early.workingSet / 1024.0, middle.workingSet / 1024.0,
              late.workingSet / 1024.0, " KB");
  std::printf("baseline: a bare COM client attaching to the same applications every second\n");
  PrintGrowth("private bytes", lateTicks, clientEarly.privateBytes / 1024.0, clientMiddle.privateBytes / 1024.0,
              clientLate.privateBytes / 1024.0, " KB");
  PrintGrowth("threads", lateTicks, clientEarly.threads, clientMiddle.threads, clientLate.threads, "");
  const double grown = (static_cast<double>(late.privateBytes) - early.privateBytes) / 1024;
  const double clientGrown = (static_cast<double>(clientLate.privateBytes) - clientEarly.privateBytes) / 1024;
  std::printf("watch growth of private bytes from %d to %d ticks: valmora %+.0f KB, baseline %+.0f KB, ratio %s\n",
              kEarlyTicks, lateTicks, grown, clientGrown, Ratio(grown, clientGrown).c_str());
  if (late.threads != early.threads || clientLate.threads != clientEarly.threads)
    std::printf("         a thread that came or went moved private bytes by its stack\n");
  std::fflush(stdout);
  EXPECT_GT(excelCalls, 0) << "the ticks scanned";

  PressDialogButton(main, ids::kCmdExit);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

}  // namespace
}  // namespace e2e
