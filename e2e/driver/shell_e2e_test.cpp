// The shell's "open" through ShellExecuteExW, seen by the shell recorder that
// the test prefix registers as the handler of files, Outlook and web addresses.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include <vector>

#include "harness.h"
#include "library/shell_win32.h"
#include "library/utf.h"
#include "library/unique_handle_win32.h"
#include "shell_record.h"

namespace e2e {
namespace {

using valmora::ShowWindowAs;

std::wstring ShowAs(ShowWindowAs show) {
  return ShowCommand(show == ShowWindowAs::Maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
}

std::wstring LongPathOf(const std::wstring& path) {
  std::wstring full(32768, L'\0');
  full.resize(::GetLongPathNameW(path.c_str(), full.data(), static_cast<DWORD>(full.size())));
  return full;
}

class ShellE2E : public ::testing::Test {
 protected:
  // An existing file, for the shell looks before it hands a path over.
  std::wstring MakeFile(const std::wstring& relative) {
    folder.WriteFile(relative, "x");
    return folder.Path() + L"\\" + relative;
  }
  std::wstring MakeFolder(const std::wstring& relative) {
    const std::wstring path = folder.Path() + L"\\" + relative;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return relative;
  }

  TestFolder folder{L"shell"};
  ShellRecord record;
  valmora::Win32Shell shell;
};

TEST_F(ShellE2E, HandsEveryKindOfTargetOverOnceAsItIsAndInOrder) {
  const std::wstring office = MakeFolder(L"Caf\u00e9 \u00c6r\u00f8 \u65e5\u672c");
  const struct {
    std::wstring target;
    ShowWindowAs show;
  } opens[] = {
      {MakeFile(office + L"\\Budget 2024 \u2013 Gr\u00f6\u00dfe.xlsx"), ShowWindowAs::Maximised},
      {MakeFile(office + L"\\Bericht f\u00fcr Zo\u00eb.docx"), ShowWindowAs::Maximised},
      {L"Outlook:00AB12CD0000000098A2B1C4D5E6F70801020304", ShowWindowAs::Maximised},
      {L"https://corvellan.example/sites/Team/Shared%20Documents/Plan.xlsx?web=1&id=7", ShowWindowAs::Maximised},
      {L"mailto:support@corvellan.example?Subject=Valmora%20Enquiry", ShowWindowAs::Normal},
      {MakeFile(L"Valmora.txt"), ShowWindowAs::Normal},
  };
  std::vector<ShellRequest> expected;
  for (const auto& open : opens) {
    EXPECT_TRUE(shell.Open(open.target, open.show).opened) << valmora::ToUtf8(open.target);
    expected.push_back({open.target, ShowAs(open.show)});
  }
  EXPECT_EQ(record.ReadWhenQuiet(), expected);
}

TEST_F(ShellE2E, APathBeyondTheShellsLimitReachesItsHandler) {
  std::wstring relative = MakeFolder(std::wstring(80, L'd') + L" \u00e5");
  while (relative.size() < MAX_PATH) relative = MakeFolder(relative + L"\\" + std::wstring(80, L'd'));
  const std::wstring target = MakeFile(relative + L"\\Long way \u00e5.xlsx");

  ASSERT_TRUE(shell.Open(target, ShowWindowAs::Maximised).opened);
  const auto requests = record.ReadWhenQuiet();
  ASSERT_EQ(requests.size(), 1u);
  // The handler may get the short form of the name: the same file.
  EXPECT_EQ(LongPathOf(requests[0].target), target);
  EXPECT_EQ(requests[0].show, ShowAs(ShowWindowAs::Maximised));
}

TEST_F(ShellE2E, WhatNoHandlerTakesFailsWithTheSystemsReasonAndStartsNothing) {
  for (const std::wstring& target : {MakeFile(L"notes.valmoranohandler"), folder.Path() + L"\\gone.xlsx", std::wstring()}) {
    const valmora::ShellOpen open = shell.Open(target, ShowWindowAs::Maximised);
    EXPECT_FALSE(open.opened) << valmora::ToUtf8(target);
    EXPECT_FALSE(open.reason.empty()) << valmora::ToUtf8(target);
    std::printf("shell refused '%s': %s\n", valmora::ToUtf8(target).c_str(), valmora::ToUtf8(open.reason).c_str());
  }
  EXPECT_EQ(record.ReadWhenQuiet(), std::vector<ShellRequest>());
}

// As the program of a stored external command, started without the shell.
TEST_F(ShellE2E, TheRecorderStartedAsAProgramRecordsItsWholeArgumentText) {
  const struct {
    std::wstring arguments;
    bool showCommandGiven;
  } starts[] = {{L"/x \"a  b\" \u00e5  ", true}, {L"plain", false}};
  std::vector<ShellRequest> expected;
  for (const auto& start : starts) {
    std::wstring commandLine = L"\"" + ShellRecord::RecorderExe() + L"\" " + start.arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (start.showCommandGiven) {
      startup.dwFlags = STARTF_USESHOWWINDOW;
      startup.wShowWindow = SW_SHOWMINIMIZED;
    }
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &info));
    valmora::UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    expected.push_back({start.arguments, start.showCommandGiven ? ShowCommand(SW_SHOWMINIMIZED) : L"default"});
  }
  EXPECT_EQ(record.ReadWhenQuiet(), expected);
}

}  // namespace
}  // namespace e2e
