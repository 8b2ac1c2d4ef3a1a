// The reopen of logged items through the real Valmora.exe and the shell recorder.
#include <gtest/gtest.h>

#include "fake_office.h"
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

// An Outlook that never answers the lookup is no Outlook that found nothing:
// no warning waits for a click, and the shell gets each item as if found.
TEST(ReopenE2E, ItemsAHungOutlookCannotLookUpAreHandedToTheShellWithoutAWarning) {
  FakeOffice outlook(L"Outlook", "[Outlook]\nGetItemFromID hangs\nitem\n  EntryID = 00CD34\n  Subject = Lunch\n");
  ASSERT_TRUE(outlook.Start());
  ShellRecord record;
  TestFolder folder(L"reopen_hung_outlook");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nOutlook:00CD34'Lunch\r\nOutlook:00EF56'Minutes\r\n");
  Process valmora(folder.Exe(), L"/reopen");
  HWND question = valmora.WaitForWindow(msgbox::kWindowClass);
  ASSERT_NE(question, nullptr);
  PressDialogButton(question, msgbox::kCmdYes);

  // The first lookup waits out its deadline, the second gives up at once;
  // a warning would hold the run until someone clicked it.
  const DWORD exitCode = valmora.WaitForExit(60s);
  if (exitCode == static_cast<DWORD>(STILL_ACTIVE)) {
    HWND box = valmora.WaitForWindow(msgbox::kWindowClass, 1s);
    if (box) Screenshot(box, L"reopen_hung_outlook_warning");
  }
  EXPECT_EQ(exitCode, 0u) << "a box waits for an answer";
  const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
  EXPECT_EQ(record.ReadWhenQuiet(),
            (std::vector<ShellRequest>{{L"Outlook:00CD34", maximised}, {L"Outlook:00EF56", maximised}}));
  EXPECT_EQ(outlook.Counts().members.at("NameSpace.GetItemFromID").invokes, 1) << "asked once, while it hangs";
  outlook.Kill();
}

}  // namespace
}  // namespace e2e
