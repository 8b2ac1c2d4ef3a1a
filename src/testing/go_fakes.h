// Stand-ins for what Go talks to: Office, frmMain, the notices, the clock.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "doclog/go.h"
#include "doclog/office.h"
#include "library/shell.h"
#include "msgbox/questions.h"

namespace valmora::testing {

class FakeOffice : public OfficeAutomation {
 public:
  std::map<OfficeApp, AppSnapshot> apps;
  std::map<std::wstring, OutlookLookup> outlookItems;  // by item id; missing: not found
  std::function<void()> onGather;                      // something that happens while Office is asked
  std::vector<std::wstring> journal;

  AppSnapshot Gather(OfficeApp app) override {
    journal.push_back(L"gather");
    if (onGather) onGather();
    const auto it = apps.find(app);
    return it == apps.end() ? AppSnapshot{} : it->second;
  }
  OutlookLookup FindOutlookItem(const std::wstring& id) override {
    journal.push_back(L"find " + id);
    const auto it = outlookItems.find(id);
    return it == outlookItems.end() ? OutlookLookup{} : it->second;
  }
};

class FixedClock : public Clock {
 public:
  LocalTime Now() const override { return {2026, 12, 5, 14, 7, 0}; }
};

struct FakeScanView : ScanView {
  std::wstring msg1, tip;
  bool listUnsavedEnabled = true, hidden = false, busy = false;
  std::vector<bool> busyTrail, topmostTrail;
  std::vector<std::wstring> captions;  // every caption lblMsg1 was given, in order

  std::wstring Msg1Caption() const override { return msg1; }
  void SetMsg1Caption(const std::wstring& t) override { captions.push_back(msg1 = t); }
  void SetListUnsavedEnabled(bool e) override { listUnsavedEnabled = e; }
  void SetTrayTip(const std::wstring& t) override { tip = t; }
  void HideWindow() override { hidden = true; }
  void SetScreenBusy(bool b) override { busyTrail.push_back(busy = b); }
  void SetTopmost(bool t) override { topmostTrail.push_back(t); }
  void SetGoRunning(bool running) override { goRunningTrail.push_back(running); }
  std::vector<bool> goRunningTrail;
};

struct FakeNotices : Notices {
  std::vector<std::pair<std::wstring, int>> warnings, infos;
  std::function<void()> whileShown;  // runs once, while the next notice is up

  void ShowWarning(std::wstring_view m, int c) override {
    warnings.emplace_back(m, c);
    Shown();
  }
  void ShowInfo(std::wstring_view m, int c) override {
    infos.emplace_back(m, c);
    Shown();
  }
  void Shown() {
    if (whileShown) std::exchange(whileShown, nullptr)();
  }
};

struct FakeShell : Shell {
  std::vector<std::wstring> opened;
  std::map<std::wstring, std::wstring> refused;  // target -> the system's reason
  ShellOpen Open(const std::wstring& target, ShowWindowAs show) override {
    opened.push_back(target + (show == ShowWindowAs::Maximised ? L" (max)" : L""));
    const auto it = refused.find(target);
    return it == refused.end() ? ShellOpen{} : ShellOpen{false, it->second};
  }
};

}  // namespace valmora::testing
