#include "doclog/reopen.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <set>
#include <vector>

#include "doclog/log_line.h"
#include "doclog/office_apps.h"
#include "doclog/open_doc_log.h"
#include "doclog/previous_log.h"
#include "msgbox/msgbox_request.h"

namespace valmora {
namespace {

constexpr std::int32_t kPauseAfterOpen = 1000;

std::wstring CountOrNone(int count) { return count == 0 ? L"none" : std::to_wstring(count); }

struct Entry {
  std::wstring line;
  LineKind kind;
  const OfficeAppTraits* app;  // nullptr for a hand-added file
};

// What each application has open, asked once per phase and only when needed.
class OpenNow {
 public:
  explicit OpenNow(OfficeAutomation& office) : office_(office) {}

  enum class Document { Open, NotOpen, Unknown };
  // Unknown while the application does not answer completely: it may well
  // have the document open, or be stuck opening it.
  Document Find(OfficeApp app, const std::wstring& fullName) {
    const AppSnapshot& snapshot = Get(app);
    const bool seen = std::any_of(snapshot.documents.begin(), snapshot.documents.end(),
                                  [&](const OfficeDocument& doc) { return doc.fullName == fullName; });
    return seen ? Document::Open : Answered(snapshot.state) ? Document::NotOpen : Document::Unknown;
  }
  bool HasOutlookItem(const std::wstring& itemId) {
    const AppSnapshot& snapshot = Get(OfficeApp::Outlook);
    return std::any_of(snapshot.items.begin(), snapshot.items.end(),
                       [&](const OutlookItem& item) { return item.entryId == itemId; });
  }

 private:
  const AppSnapshot& Get(OfficeApp app) {
    auto& slot = apps_[static_cast<int>(app)];
    if (!slot) slot = office_.Gather(app);
    return *slot;
  }

  OfficeAutomation& office_;
  std::optional<AppSnapshot> apps_[kOfficeApps];
};

}  // namespace

std::wstring ReopenSummary(int excel, int word, int powerPoint, int outlook, int other) {
  return L"Excel: " + CountOrNone(excel) + L"\r\nWord: " + CountOrNone(word) + L"\r\nPowerPoint: " +
         CountOrNone(powerPoint) + L"\r\nOutlook: " + CountOrNone(outlook) + L"\r\nOther: " + CountOrNone(other);
}

OutlookEntryParts SplitOutlookEntry(const std::wstring& line) {
  const std::wstring rest = line.size() > 8 ? line.substr(8) : L"";
  const std::size_t apostrophe = rest.find(L'\'');
  if (apostrophe == std::wstring::npos) return {rest, L""};
  return {rest.substr(0, apostrophe), rest.substr(apostrophe + 1)};
}

bool IsWebAddress(const std::wstring& entry) {
  const std::size_t separator = entry.find(L"://");
  if (separator == std::wstring::npos || separator == 0) return false;
  // A scheme: a letter, then letters, digits, "+", "-" or ".".
  if (!std::iswalpha(entry[0])) return false;
  return std::all_of(entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(separator), [](wchar_t c) {
    return std::iswalnum(c) || c == L'+' || c == L'-' || c == L'.';
  });
}

std::wstring ReopenProblems(const std::vector<std::wstring>& problems) {
  std::wstring text = L"Not everything could be reopened:\r\n";
  for (const std::wstring& problem : problems) text += L"\r\n" + problem;
  return text;
}

ReopenOutcome Reopener::Reopen(const GoFlags& flags, const StopRequested& stopped) {
  ScanView& view = services_.view;
  const OpenDocLog log(flags.previousSession ? PreviousLogPath(services_.logPath) : services_.logPath, services_.fs,
                      services_.locale);
  view.SetTopmost(true);
  if (!log.Exists()) {
    view.SetTopmost(false);
    return {};
  }
  view.SetScreenBusy(true);
  const bool allOffice = flags.pblnReopenE && flags.pblnReopenW && flags.pblnReopenP && flags.pblnReopenO;
  const std::wstring savedCaption = allOffice ? L"" : view.Msg1Caption();

  // Loading: the kinds asked for, hand-added files only when they exist.
  std::vector<Entry> entries;
  int counts[kOfficeApps] = {}, other = 0;
  std::wstring dateLine;
  for (const std::wstring& line : log.ReadLines().value_or(std::vector<std::wstring>{})) {
    const LineKind kind = ClassifyLogLine(line, services_.locale);
    if (kind == LineKind::DateLine && dateLine.empty()) dateLine = line;
    const OfficeAppTraits* app = TraitsOf(kind);
    const bool wanted = app ? flags.*app->reopen
                            : kind == LineKind::OtherEntry && flags.pblnReopenN && FileExists(services_.fs, line);
    if (!wanted) continue;
    ++(app ? counts[static_cast<int>(app->app)] : other);  // beyond the 100th an entry is counted, not reopened
    if (entries.size() < EntryList::kMaxEntries) entries.push_back({line, kind, app});
  }
  if (allOffice) {
    // Which list it is, and from when: the last session's is older than the log.
    const std::wstring from = flags.previousSession ? L"Session of " + dateLine + L"\r\n" : L"";
    view.SetMsg1Caption(from + ReopenSummary(counts[0], counts[1], counts[2], counts[3], other));
  }

  OpenNow openNow(services_.office);
  std::set<std::wstring> met;  // a file logged twice, or by hand and by a scan, is opened once
  // Nobody may be at the keyboard of a reopen at logon: what it has to say
  // waits for the end, in one notice that Go shows once the reopen is over.
  const bool unattended = flags.pblnWatch;
  std::vector<std::wstring> problems;
  const auto warn = [&](const std::wstring& text) {
    if (unattended) {
      problems.push_back(text);
    } else {
      services_.notices.ShowWarning(text, 0);
    }
  };
  ReopenOutcome outcome;
  for (const Entry& entry : entries) {
    if (stopped()) break;  // the program is ending: nothing more is opened
    const bool outlook = entry.kind == LineKind::OutlookEntry;
    const OutlookEntryParts parts = outlook ? SplitOutlookEntry(entry.line) : OutlookEntryParts{};
    const std::wstring target = outlook     ? kOutlookPrefix + parts.itemId
                                : entry.app ? EntryTarget(*entry.app, entry.line)
                                            : entry.line;
    if (!met.insert(target).second) continue;
    view.SetMsg1Caption(L"Reopening\r\n" + entry.line);
    bool reopen = true, missing = false;
    if (outlook) {
      if (openNow.HasOutlookItem(parts.itemId)) {
        reopen = false;
      } else {
        const OutlookLookup found = services_.office.FindOutlookItem(parts.itemId);
        if (found.answer == LookupAnswer::NotFound) {
          const std::wstring description = parts.description.empty() ? L"(no name/desc available)" : parts.description;
          warn(L"Outlook item " + Verbatim(description) + L" not found");
        } else if (found.answer == LookupAnswer::Found && found.folderName == L"Deleted Items") {
          reopen = false;
        }  // no answer: the shell is handed the address all the same
      }
    } else if (!IsWebAddress(target) && !FileExists(services_.fs, target)) {
      warn(L"File " + Verbatim(target) + L" not found");
      missing = true;
    } else if (entry.app) {
      const OpenNow::Document found = openNow.Find(entry.app->app, target);
      reopen = found == OpenNow::Document::NotOpen;
      // Handed to an application that hangs, it would open twice once it answers.
      if (found == OpenNow::Document::Unknown) {
        problems.push_back(L"Not reopened while " + std::wstring(entry.app->label) + L" does not answer: " +
                           Verbatim(target));
      }
    }
    if (!reopen || stopped()) continue;
    outcome.handedOver.push_back(entry.line);
    const ShellOpen opened = services_.shell.Open(target, ShowWindowAs::Maximised);
    // A file said to be missing needs no second word when the shell finds nothing either.
    if (!opened.opened && !missing) problems.push_back(L"Could not open " + Verbatim(target) + L": " + Verbatim(opened.reason));
    services_.pause(kPauseAfterOpen);
  }
  if (!problems.empty() && !stopped()) {
    if (unattended) {
      outcome.notice = ReopenProblems(problems);
    } else {
      services_.notices.ShowWarning(ReopenProblems(problems), 0);
    }
  }

  view.SetMsg1Caption(savedCaption);
  view.SetScreenBusy(false);
  view.SetTopmost(false);
  return outcome;
}

}  // namespace valmora
