// The reopen of logged items through the real Valmora.exe and the shell recorder.
#include <gtest/gtest.h>

#include <thread>

#include "harness.h"
#include "msgbox/msgbox_ids.h"
#include "shell_record.h"

namespace e2e {
namespace {

namespace msgbox = valmora::msgbox_ids;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(ReopenE2E, AReopenRunOpensLoggedFilesInOrderAndWarnsAboutMissingOnes) {
  ShellRecord record;
  TestFolder folder(L"reopen_run");
  const std::wstring notes = folder.Path() + L"\\notes.txt", missing = folder.Path() + L"\\missing.docx";
  folder.WriteFile(L"notes.txt", "x");
  // A document kept in a cloud library: an address, not a file to look for.
  const std::wstring cloud = L"https://corvellan.example/sites/team/Shared%20Documents/Plan.docx";
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\n" + Narrow(missing) + "\r\n" + Narrow(notes) + "\r\n" +
                                       Narrow(folder.Path()) + "\\gone.txt\r\n" + Narrow(cloud) + "\r\n");
  Process valmora(folder.Exe(), L"/reopen");

  HWND question = valmora.WaitForWindow(msgbox::kWindowClass);
  ASSERT_NE(question, nullptr);
  // Left alone, the question answers Yes; then the missing Word file is named.
  // Wait for that text itself: a box caught as it closes has no text to read.
  const std::wstring expected = L"File " + missing + L" not found";
  HWND warning = nullptr;
  std::wstring seen;
  for (int i = 0; i < 300 && !warning; ++i) {
    HWND box = valmora.WaitForWindow(msgbox::kWindowClass, 100ms);
    if (box) seen = Text(::GetDlgItem(box, msgbox::kTxtMessage));
    if (box && seen == expected) warning = Ready(box);
    std::this_thread::sleep_for(100ms);
  }
  ASSERT_NE(warning, nullptr) << "last box said: " << Narrow(seen);
  Screenshot(warning, L"reopen_file_not_found");
  PressDialogButton(warning, msgbox::kCmdOk);

  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
  // The missing file was handed to the shell too, which found nothing to
  // open; the hand-added file that is gone was left out without a word.
  // No warning came for the cloud document: the run ended without another box.
  const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
  EXPECT_EQ(record.ReadWhenQuiet(), (std::vector<ShellRequest>{{notes, maximised}, {cloud, maximised}}));
}

}  // namespace
}  // namespace e2e
