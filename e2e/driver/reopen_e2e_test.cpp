// The reopen of logged items through the real Valmora.exe and the shell recorder.
#include <gtest/gtest.h>

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
  HWND warning = valmora.WaitForMessageSaying(L"File " + missing + L" not found", 60s);
  ASSERT_NE(warning, nullptr);
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
