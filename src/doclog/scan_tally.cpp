#include "doclog/scan_tally.h"

#include <algorithm>
#include <vector>

#include "doclog/office_apps.h"
#include "msgbox/msgbox_request.h"

namespace valmora {
namespace {

std::wstring Counted(int count, const wchar_t* noun) {
  return std::to_wstring(count) + L" " + noun + (count == 1 ? L"" : L"s");
}

std::wstring ShortLine(const std::wstring& app, const AppTally& t, const wchar_t* noun) {
  std::wstring line = app + Counted(t.open, noun);
  if (t.hasNew) line += L" + " + std::to_wstring(t.created) + L" NEW";
  return line;
}

std::wstring LongLine(const std::wstring& app, const AppTally& t, const wchar_t* noun) {
  std::wstring line = app;
  if (t.open == 0) {
    line += std::wstring(L"no ") + noun + L"s open";
  } else {
    line += Counted(t.open, noun) + L" open";
    if (t.unsaved != 0) line += L" of which " + std::to_wstring(t.unsaved) + (t.unsaved == 1 ? L" is" : L" are") + L" unsaved";
  }
  if (t.hasNew) line += L", excludes " + std::to_wstring(t.created) + L" NEW";
  return line;
}

}  // namespace

const AppTally& ScanTally::For(OfficeApp app) const { return this->*Traits(app).tally; }

AppTally& ScanTally::For(OfficeApp app) { return this->*Traits(app).tally; }

bool ScanTally::AnyUnsaved() const {
  return std::any_of(kOfficeAppsInOrder.begin(), kOfficeAppsInOrder.end(), [&](OfficeApp app) { return For(app).unsaved; });
}

std::wstring ShortSummary(const ScanTally& t) {
  std::wstring text;
  for (OfficeApp app : kOfficeAppsInOrder) {
    if (!text.empty()) text += L"\r\n";
    text += ShortLine(Traits(app).label + std::wstring(L": "), t.For(app), Traits(app).noun);
  }
  return text;
}

std::wstring LongSummary(const ScanTally& t) {
  std::wstring text;
  for (OfficeApp app : kOfficeAppsInOrder) {
    if (!text.empty()) text += L"\r\n";
    text += LongLine(Traits(app).label + std::wstring(L": "), t.For(app), Traits(app).noun);
  }
  return text;
}

std::wstring NeverSavedNotice(const ScanTally& t, const std::wstring& newItemNames) {
  std::wstring text = L"** PLEASE NOTE **\r\nThere are documents that are new (never been saved) in ";
  for (OfficeApp app : kOfficeAppsInOrder) {
    if (t.For(app).hasNew) text += Traits(app).label + std::wstring(L" ");
  }
  text += L".\r\n"
          L"These documents will NOT be reopened automatically after system reboot.\r\n"
          L"If you wish them to be included, save them to disk then rerun this command.\r\n\r\n";
  return text + Verbatim(newItemNames);
}

std::wstring UnsavedList(const std::wstring& unsavedNames) {
  return L"Documents flagged as unsaved:\r\n\r\n" + Verbatim(unsavedNames);
}

// "Excel", "Excel and Word", "Excel, Word and PowerPoint".
std::wstring ShutdownWarning(bool newExcel, bool newWord, bool newPowerPoint) {
  std::vector<const wchar_t*> names;
  if (newExcel) names.push_back(L"Excel");
  if (newWord) names.push_back(L"Word");
  if (newPowerPoint) names.push_back(L"PowerPoint");
  std::wstring apps;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) apps += i + 1 == names.size() ? L" and " : L", ";
    apps += names[i];
  }
  return L"** PLEASE NOTE **\r\nThere are/were documents that are new (never been saved) in " + apps +
         L".\r\n"
         L"If those apps are still open, save and name the new docs now, then press Ok.\r\n"
         L"Otherwise, those documents will NOT be reopened automatically after system reboot.";
}

}  // namespace valmora
