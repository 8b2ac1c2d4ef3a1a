#include "mainwindow/external_command.h"

#include <gtest/gtest.h>

#include <map>

#include "library/keys.h"
#include "mainwindow/settings_store.h"
#include "testing/fakes.h"
#include "testing/go_fakes.h"

namespace valmora {
namespace {

struct Fakes : SettingsStore, InputBox, StandardQuestion, ProcessStarter {
  std::map<std::wstring, std::wstring> values;
  std::vector<std::wstring> journal;
  std::wstring entry;
  bool answer = false;
  std::optional<std::wstring> failure;

  std::wstring Get(const std::wstring& a, const std::wstring& s, const std::wstring& k) override {
    const auto it = values.find(a + L"/" + s + L"/" + k);
    return it == values.end() ? L"" : it->second;
  }
  void Set(const std::wstring& a, const std::wstring& s, const std::wstring& k, const std::wstring& v) override {
    values[a + L"/" + s + L"/" + k] = v;
  }
  void Delete(const std::wstring& a, const std::wstring& s, const std::wstring& k) override {
    values.erase(a + L"/" + s + L"/" + k);
    journal.push_back(L"delete");
  }
  std::wstring Ask(const std::wstring& prompt, const std::wstring& title, const std::wstring& def) override {
    journal.push_back(L"input " + prompt + L"|" + title + L"|" + def);
    return entry;
  }
  bool AskYesNo(const std::wstring& text, bool defaultYes) override {
    journal.push_back(L"ask " + text + (defaultYes ? L" (Yes)" : L" (No)"));
    return answer;
  }
  std::optional<std::wstring> Start(const std::wstring& commandLine) override {
    journal.push_back(L"start [" + commandLine + L"]");
    return failure;
  }
};

class ExternalCommandTest : public ::testing::Test {
 protected:
  std::wstring Stored() { return f.Get(L"Valmora", L"Settings", L"ExecuteCmd"); }
  Fakes f;
  testing::FakeNotices notices;
  int fronts = 0;
  ExternalCommand command{{f, f, f, f, notices, [this] { ++fronts; }}};
};

TEST_F(ExternalCommandTest, TheFirstClickAsksThenStoresTrimmedAndStartsAsEntered) {
  f.entry = L"  C:\\Tools\\backup.cmd /all ";
  command.Clicked(false);
  EXPECT_EQ(f.journal, (std::vector<std::wstring>{L"input Command|Valmora|", L"start [  C:\\Tools\\backup.cmd /all ]"}));
  EXPECT_EQ(Stored(), L"C:\\Tools\\backup.cmd /all");
  EXPECT_EQ(fronts, 1);

  f.journal.clear();
  command.Clicked(false);  // stored: runs at once
  EXPECT_EQ(f.journal, (std::vector<std::wstring>{L"start [C:\\Tools\\backup.cmd /all]"}));
}

TEST_F(ExternalCommandTest, ShiftClickPrefillsAndAnEmptyEntryOffersToClearWithNoAsDefault) {
  f.Set(L"Valmora", L"Settings", L"ExecuteCmd", L"notepad.exe");
  f.entry = L"";
  command.Clicked(true);
  EXPECT_EQ(f.journal, (std::vector<std::wstring>{L"input Command|Valmora|notepad.exe",
                                                  L"ask Do you want to clear the stored command? (No)"}));
  EXPECT_EQ(Stored(), L"notepad.exe");  // No keeps it

  f.answer = true;
  command.Clicked(true);
  EXPECT_EQ(f.journal.back(), L"delete");
  EXPECT_EQ(Stored(), L"");

  f.journal.clear();
  command.Clicked(false);  // nothing stored, nothing entered: no question
  EXPECT_EQ(f.journal, (std::vector<std::wstring>{L"input Command|Valmora|"}));
  EXPECT_EQ(fronts, 3);
}

TEST_F(ExternalCommandTest, ACommandThatCannotStartIsReportedAndTheProgramGoesOn) {
  f.Set(L"Valmora", L"Settings", L"ExecuteCmd", L"C:\\No\\such@1.exe");
  f.failure = L"The system cannot find the file specified.";
  command.Clicked(false);
  ASSERT_EQ(notices.warnings.size(), 1u);
  EXPECT_EQ(notices.warnings[0].second, 0);
  EXPECT_NE(notices.warnings[0].first.find(L"The system cannot find the file specified."), std::wstring::npos);
  EXPECT_EQ(fronts, 1);
}

TEST(RegistrySettingsStore, KeepsTheCommandUnderTheProgramsOwnKey) {
  testing::FakeRegistry registry;
  RegistrySettingsStore store(registry);
  store.Set(L"Valmora", L"Settings", L"ExecuteCmd", L"notepad.exe");
  EXPECT_EQ(ReadRegValue(registry, kHkeyCurrentUser, L"Software\\Valmora\\Settings", L"ExecuteCmd"), L"notepad.exe");
  EXPECT_EQ(store.Get(L"Valmora", L"Settings", L"ExecuteCmd"), L"notepad.exe");
  store.Delete(L"Valmora", L"Settings", L"ExecuteCmd");
  EXPECT_EQ(store.Get(L"Valmora", L"Settings", L"ExecuteCmd"), L"");
  EXPECT_TRUE(registry.HasKey(L"Software\\Valmora\\Settings"));  // the value is deleted, not the key
}

TEST(IsKeyDown, ShiftCtrlAltByTheirNamesAndTheHighBit) {
  const KeyState shiftHeld = [](int vk) -> std::int16_t { return vk == 16 ? static_cast<std::int16_t>(0xFF80) : 0; };
  EXPECT_TRUE(IsKeyDown(L"+", shiftHeld));
  EXPECT_FALSE(IsKeyDown(L"^", shiftHeld));
  EXPECT_FALSE(IsKeyDown(L"%", shiftHeld));
  EXPECT_FALSE(IsKeyDown(L"shift", shiftHeld));
  const KeyState toggledOnly = [](int) -> std::int16_t { return 1; };  // caps-lock style toggle bit, not held
  EXPECT_FALSE(IsKeyDown(L"+", toggledOnly));
}

}  // namespace
}  // namespace valmora
