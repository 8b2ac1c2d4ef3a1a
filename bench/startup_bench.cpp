// How long Valmora.exe takes from its process start to its main window on
// screen, and to the end of a /shutdown run with no Office running, each
// against idle_window.exe (a window and a message loop, built the same way)
// started the same way in the same run. Run by run_bench.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"
#include "mainwindow/control_ids.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 9;

std::wstring BenchFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring exe(path, length);
  return exe.substr(0, exe.find_last_of(L'\\'));
}

// Milliseconds from the start until the process shows a window of that class.
double UntilVisible(Process& process, Clock::time_point start, const wchar_t* className) {
  while (Clock::now() - start < std::chrono::seconds(30)) {
    if (VisibleWindowOf(process.Id(), className)) {
      return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double WindowShown(const std::wstring& exe, const wchar_t* className) {
  const auto start = Clock::now();
  Process process(exe, L"");
  const double shown = UntilVisible(process, start, className);
  HWND window = ::FindWindowW(className, nullptr);
  if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(process.WaitForExit(std::chrono::seconds(30)), 0u);
  return shown;
}

double RunToEnd(const std::wstring& exe, const wchar_t* arguments) {
  const auto start = Clock::now();
  Process process(exe, arguments);
  EXPECT_EQ(process.WaitForExit(std::chrono::seconds(60)), 0u);
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST(StartupBench, MainWindowAndShutdownRunAgainstAMinimalWindowProgram) {
  TestFolder folder(L"startup_bench");
  const std::wstring baseline = BenchFolder() + L"\\idle_window.exe";
  std::vector<double> shownRatios, endRatios, shown, baselineShown, ended, baselineEnded;
  for (int run = 0; run < kRuns; ++run) {
    const double own = WindowShown(folder.Exe(), valmora::ids::kMainWindowClass);
    const double floor = WindowShown(baseline, L"ValmoraIdleBaseline");
    ASSERT_GT(own, 0);
    ASSERT_GT(floor, 0);
    shown.push_back(own), baselineShown.push_back(floor), shownRatios.push_back(own / floor);
    const double end = RunToEnd(folder.Exe(), L"/shutdown");
    const double floorEnd = RunToEnd(baseline, L"/exit");
    ended.push_back(end), baselineEnded.push_back(floorEnd), endRatios.push_back(end / floorEnd);
  }
  std::printf("start    main window visible after %.0f ms, minimal window program %.0f ms: %.2fx (median of %d runs)\n",
              Median(shown), Median(baselineShown), Median(shownRatios), kRuns);
  std::printf("         /shutdown run with no Office ended after %.0f ms, minimal program ended %.0f ms: %.2fx\n",
              Median(ended), Median(baselineEnded), Median(endRatios));
  std::fflush(stdout);
}

}  // namespace
}  // namespace e2e
