// frmMain's scan and reopen buttons through the real Valmora.exe.
#include <gtest/gtest.h>

#include <thread>

#include "harness.h"
#include "mainwindow/control_ids.h"
#include "shell_record.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;

constexpr wchar_t kStandardBox[] = L"#32770";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The log without its first line (the time of the scan).
std::string AfterDateLine(const std::string& log) {
  const std::size_t end = log.find("\r\n");
  return end == std::string::npos ? log : log.substr(end + 2);
}

class CommandsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::make_unique<TestFolder>(L"commands");
    folder_->WriteFile(L"a.txt", "x");
    folder_->WriteFile(L"b.pdf", "x");
  }
  void Start(const std::string& log) {
    folder_->WriteFile(L"Valmora.txt", log);
    valmora_ = std::make_unique<Process>(folder_->Exe(), L"");
    main_ = valmora_->WaitForWindow(ids::kMainWindowClass);
    ASSERT_NE(main_, nullptr);
  }
  std::wstring Label() const { return Text(::GetDlgItem(main_, ids::kLblMsg1)); }
  std::string Path(const char* name) const { return Narrow(folder_->Path()) + "\\" + name; }
  std::string Log() const { return ReadBytes(folder_->Log()); }
  void TearDown() override {
    if (main_) PressDialogButton(main_, ids::kCmdExit);
    if (valmora_) {
      EXPECT_EQ(valmora_->WaitForExit(20s), 0u);
    }
  }

  std::unique_ptr<TestFolder> folder_;
  std::unique_ptr<Process> valmora_;
  HWND main_ = nullptr;
};

TEST_F(CommandsE2E, GetCurrAsksWhetherToKeepHandAddedFiles) {
  for (const int answer : {IDYES, IDNO}) {
    Start("12/5/2026 14:07\r\n" + Path("a.txt") + "\r\n" + Path("b.pdf") + "\r\n");
    PressDialogButton(main_, ids::kCmdGetCurr);
    HWND question = valmora_->WaitForWindow(kStandardBox);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question),
              L"There are manually added non-office files in the current log. Do you wish to retain these?\r\n\r\n"
              L"Files:\r\n" + folder_->Path() + L"\\a.txt\r\n" + folder_->Path() + L"\\b.pdf\r\n");
    if (answer == IDYES) Screenshot(question, L"retain_question");
    PressDialogButton(question, answer);
    ASSERT_TRUE(WaitUntil([&] { return Log().find("12/5/2026 14:07") == std::string::npos; }));
    if (answer == IDYES) {  // the rescan's one write holds the kept lines
      EXPECT_EQ(AfterDateLine(Log()), Path("a.txt") + "\r\n" + Path("b.pdf") + "\r\n");
      ASSERT_TRUE(WaitUntil([&] { return Label().ends_with(L"Other: 2"); })) << Label();
      EXPECT_TRUE(Label().starts_with(L"Open at last check:  "));
    } else {
      EXPECT_EQ(AfterDateLine(Log()), "");
      ASSERT_TRUE(WaitUntil([&] { return Label().starts_with(L"Currently open:  "); })) << Label();
    }
    TearDown();
    main_ = nullptr;
    valmora_.reset();
  }
}

TEST_F(CommandsE2E, ReopenNowOpensEverythingRescansAndKeepsHandAddedFiles) {
  ShellRecord record;
  Start("12/5/2026 14:07\r\n" + Path("a.txt") + "\r\n" + Path("b.pdf") + "\r\n");
  PressDialogButton(main_, ids::kCmdReopen);
  const auto opened = record.WaitFor(2);
  const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
  EXPECT_EQ(opened, (std::vector<ShellRequest>{{folder_->Path() + L"\\a.txt", maximised},
                                               {folder_->Path() + L"\\b.pdf", maximised}}));
  ASSERT_TRUE(WaitUntil([&] { return Label().ends_with(L"Other: 2"); })) << Label();
  EXPECT_EQ(Log().find("12/5/2026 14:07"), std::string::npos);  // rescanned
  EXPECT_EQ(AfterDateLine(Log()), Path("a.txt") + "\r\n" + Path("b.pdf") + "\r\n");
}

// The recorder stands in for PowerPoint's file type: a "PowerPoint:" line
// is the deck's path, opened through the shell.
TEST_F(CommandsE2E, OneKindOnlyReopensThatKindAndLeavesTheLogAndTheLabel) {
  ShellRecord record;
  const std::string log = "12/5/2026 14:07\r\n" + Path("a.txt") + "\r\nPowerPoint:" + Path("b.pdf") + "\r\n";
  Start(log);
  const std::wstring label = Label();
  const ShellRequest deck{folder_->Path() + L"\\b.pdf", ShowCommand(SW_SHOWMAXIMIZED)};
  const ShellRequest other{folder_->Path() + L"\\a.txt", ShowCommand(SW_SHOWMAXIMIZED)};
  PressDialogButton(main_, ids::kCmdReopenWordOnly);  // no Word entry: nothing
  PressDialogButton(main_, ids::kCmdReopenPowerPointOnly);
  EXPECT_EQ(record.WaitFor(1), std::vector<ShellRequest>{deck});
  PressDialogButton(Idle(main_), ids::kCmdReopenNonOffOnly);
  EXPECT_EQ(record.WaitFor(2), (std::vector<ShellRequest>{deck, other}));
  ASSERT_TRUE(WaitUntil([&] { return Label() == label; }));
  EXPECT_EQ(record.ReadWhenQuiet(), (std::vector<ShellRequest>{deck, other}));
  EXPECT_EQ(Log(), log);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(main_, ids::kCmdListUnsavedDocs)));
}

}  // namespace
}  // namespace e2e
