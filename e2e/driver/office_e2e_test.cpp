// Valmora's automation client against the fake Office server: what a gather
// and a lookup report, what they cost in calls, and how they meet failing,
// busy and hung applications.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <thread>

#include "com_support_win32.h"
#include "office/office_win32.h"
#include "fake_office.h"
#include "library/message_wait_win32.h"

namespace fake_office {
void PrintTo(const CallCount& count, std::ostream* out);  // fake_office_e2e_test.cpp
}  // namespace fake_office

namespace e2e {
namespace {

using namespace std::chrono_literals;
using fake_office::CallCount;
using fake_office::CallCountMap;
using fake_office::Narrow;
using valmora::AppSnapshot;
using valmora::AppState;
using valmora::OfficeApp;
using valmora::OfficeTimings;
using valmora::Win32OfficeAutomation;

std::string Show(const std::optional<std::wstring>& text) { return text ? Narrow(*text) : "<none>"; }
std::string Show(const std::optional<bool>& flag) { return flag ? (*flag ? "1" : "0") : "<none>"; }
std::string Show(const std::optional<valmora::LocalTime>& time) {
  if (!time) return "<none>";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time->year, time->month, time->day, time->hour,
                time->minute, time->second);
  return text;
}

// One line per element, every field shown, so a failure shows all of them.
std::vector<std::string> Lines(const AppSnapshot& snapshot) {
  std::vector<std::string> lines;
  for (const auto& d : snapshot.documents) {
    lines.push_back("visible " + Show(d.firstWindowVisible) + " | path " + Show(d.path) + " | saved " + Show(d.saved) +
                    " | name " + Show(d.name) + " | full " + Show(d.fullName));
  }
  for (const auto& i : snapshot.items) {
    lines.push_back("id " + Show(i.entryId) + " | saved " + Show(i.saved) + " | subject " + Show(i.subject) +
                    " | created " + Show(i.creationTime));
  }
  return lines;
}

const char* Name(AppState state) {
  switch (state) {
    case AppState::NotRunning: return "NotRunning";
    case AppState::Read: return "Read";
    case AppState::GaveUp: return "GaveUp";
    case AppState::Unreachable: return "Unreachable";
  }
  return "?";
}

#define EXPECT_STATE(snapshot, expected) EXPECT_STREQ(Name((snapshot).state), Name(expected))

// What a gather must cost: each name looked up once per kind of object, each
// property read once per element, the elements fetched in one batch; and
// whether the user sees the instance at all (Outlook cannot be hidden).
CallCountMap MinimumCalls(const std::string& collection, long elements,
                          const std::vector<std::string>& elementMembers) {
  CallCountMap calls{{"Application." + collection, {1, 1}}, {collection + "._NewEnum", {0, 1}}, {"Enum.Next", {0, 1}}};
  if (collection != "Inspectors") calls["Application.Visible"] = {1, 1};
  for (const auto& member : elementMembers) calls[member] = {1, elements};
  return calls;
}

// The same for a collection that cannot be enumerated: Count, then Item(i).
CallCountMap MinimumCallsByIndex(const std::string& collection, long elements,
                                 const std::vector<std::string>& elementMembers) {
  CallCountMap calls = MinimumCalls(collection, elements, elementMembers);
  calls.erase("Enum.Next");
  calls[collection + ".Count"] = {1, 1};
  calls[collection + ".Item"] = {1, elements};
  return calls;
}

const std::vector<std::string> kWorkbookMembers{"Workbook.Windows", "Window.Visible", "Workbook.Path",
                                                "Workbook.Saved",   "Workbook.Name",  "Workbook.FullName"};

TEST(OfficeE2E, DocumentsComeWithEveryFieldInCollectionOrderAtOneCallPerProperty) {
  const struct {
    const wchar_t* application;
    OfficeApp app;
    std::string scenario;
    std::vector<std::string> expected;
    CallCountMap calls;
  } cases[] = {
      {L"Excel", OfficeApp::Excel,
       "[Excel]\n"
       "workbook C:\\Data\\Budget.xlsx\n  Saved = false\n"
       "workbook C:\\Donn\xC3\xA9" "es\\Pl\xC3\xA4n \xE2\x82\xAC.xlsx\n  Visible = false\n"
       "workbook Book3\n  Saved = false\n",
       {"visible 1 | path C:\\Data | saved 0 | name Budget.xlsx | full C:\\Data\\Budget.xlsx",
        "visible 0 | path C:\\Donn\xC3\xA9" "es | saved 1 | name Pl\xC3\xA4n \xE2\x82\xAC.xlsx | full C:\\Donn\xC3\xA9"
        "es\\Pl\xC3\xA4n \xE2\x82\xAC.xlsx",
        "visible 1 | path  | saved 0 | name Book3 | full Book3"},
       MinimumCalls("Workbooks", 3, kWorkbookMembers)},
      {L"Excel", OfficeApp::Excel,
       "[Excel]\n_NewEnum fails\nworkbook C:\\Data\\Budget.xlsx\nworkbook Book2\n  Visible = false\n",
       {"visible 1 | path C:\\Data | saved 1 | name Budget.xlsx | full C:\\Data\\Budget.xlsx",
        "visible 0 | path  | saved 1 | name Book2 | full Book2"},
       MinimumCallsByIndex("Workbooks", 2, kWorkbookMembers)},
      {L"Word", OfficeApp::Word,
       "[Word]\ndocument https://example.org/team/Notes.docx\ndocument Document2\n",
       {"visible 1 | path https://example.org/team | saved 1 | name Notes.docx | full https://example.org/team/Notes.docx",
        "visible 1 | path  | saved 1 | name Document2 | full Document2"},
       MinimumCalls("Documents", 2,
                    {"Document.Windows", "Window.Visible", "Document.Path", "Document.Saved", "Document.Name",
                     "Document.FullName"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.application));
    FakeOffice fake(c.application, c.scenario);
    ASSERT_TRUE(fake.Start());
    fake.ResetCounts();
    Win32OfficeAutomation office;
    const AppSnapshot snapshot = office.Gather(c.app);
    EXPECT_STATE(snapshot, AppState::Read);
    EXPECT_EQ(Lines(snapshot), c.expected);
    EXPECT_TRUE(snapshot.items.empty());
    const auto counts = fake.Counts();
    EXPECT_EQ(counts.members, c.calls);
    EXPECT_EQ(counts.rejected, 0);
  }
}

TEST(OfficeE2E, OutlookItemsComeInInspectorOrderAtOneCallPerProperty) {
  FakeOffice fake(L"Outlook",
                  "[Outlook]\n"
                  "inspector\n  EntryID = 00AB12\n  Subject = Lunch on Friday\n"
                  "  CreationTime = 2026-05-12 09:30:15\n  Saved = false\n"
                  "inspector\n  Subject = Entw\xC3\xBC" "rfe\n"
                  "item\n  EntryID = 00CD34\n  Subject = Stored only\n");
  ASSERT_TRUE(fake.Start());
  fake.ResetCounts();
  Win32OfficeAutomation office;
  const AppSnapshot snapshot = office.Gather(OfficeApp::Outlook);
  EXPECT_STATE(snapshot, AppState::Read);
  EXPECT_EQ(Lines(snapshot), (std::vector<std::string>{
                                 "id 00AB12 | saved 0 | subject Lunch on Friday | created 2026-05-12 09:30:15",
                                 "id  | saved 1 | subject Entw\xC3\xBCrfe | created 2026-01-01 00:00:00"}));
  EXPECT_TRUE(snapshot.documents.empty());
  EXPECT_EQ(fake.Counts().members, MinimumCalls("Inspectors", 2,
                                                {"Inspector.CurrentItem", "MailItem.EntryID", "MailItem.Saved",
                                                 "MailItem.Subject", "MailItem.CreationTime"}));
}

TEST(OfficeE2E, AnApplicationThatIsNotRunningIsNeitherStartedNorRead) {
  Win32OfficeAutomation office;
  for (const OfficeApp app : {OfficeApp::Excel, OfficeApp::Word, OfficeApp::Outlook}) {
    const AppSnapshot snapshot = office.Gather(app);
    EXPECT_STATE(snapshot, AppState::NotRunning);
    EXPECT_TRUE(Lines(snapshot).empty());
  }
  // Had the gather created Outlook, COM would have started the server.
  FakeOffice outlook(L"Outlook", "[Outlook]\n");
  EXPECT_EQ(office.Gather(OfficeApp::Outlook).state, AppState::NotRunning);
  EXPECT_EQ(outlook.WaitForServer(0ms), 0u);
}

// A field that fails leaves only itself empty, and the application not read
// completely: what the log holds of it stays.
TEST(OfficeE2E, AFailingMemberLeavesOnlyItsFieldEmptyAndTheApplicationGivenUp) {
  const struct {
    const wchar_t* application;
    OfficeApp app;
    std::string scenario;
    AppState state;
    std::vector<std::string> expected;
  } cases[] = {
      {L"Excel", OfficeApp::Excel,
       "[Excel]\n"
       "workbook C:\\a.xlsx\n  Windows fails\n"
       "workbook C:\\b.xlsx\n  Visible fails\n  Saved fails\n"
       "workbook C:\\c.xlsx\n  FullName fails\n",
       AppState::GaveUp,
       {"visible <none> | path C: | saved 1 | name a.xlsx | full C:\\a.xlsx",
        "visible <none> | path C: | saved <none> | name b.xlsx | full C:\\b.xlsx",
        "visible 1 | path C: | saved 1 | name c.xlsx | full <none>"}},
      {L"Outlook", OfficeApp::Outlook,
       "[Outlook]\n"
       "inspector\n  EntryID = 01\n  Subject = One\n  CreationTime fails\n"
       "inspector\n  EntryID = 02\n  CurrentItem fails\n"
       "inspector\n  EntryID = 03\n  Subject = Three\n  EntryID fails\n",
       AppState::GaveUp,
       {"id 01 | saved 1 | subject One | created <none>",
        "id <none> | saved <none> | subject <none> | created <none>",
        "id <none> | saved 1 | subject Three | created 2026-01-01 00:00:00"}},
      // An application that ends during the walk leaves what was read before
      // it, and no element read halfway.
      {L"Excel", OfficeApp::Excel, "[Excel]\nworkbook C:\\a.xlsx\nworkbook C:\\b.xlsx\n  Name exits\nworkbook C:\\c.xlsx\n",
       AppState::GaveUp, {"visible 1 | path C: | saved 1 | name a.xlsx | full C:\\a.xlsx"}},
      // Without its collection nothing is known of what is open, which is not
      // the same as nothing open.
      {L"Word", OfficeApp::Word, "[Word]\n_NewEnum fails\nCount fails\ndocument C:\\x.docx\n", AppState::GaveUp, {}},
      {L"Word", OfficeApp::Word, "[Word]\nDocuments fails\ndocument C:\\x.docx\n", AppState::GaveUp, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario);
    FakeOffice fake(c.application, c.scenario);
    ASSERT_TRUE(fake.Start());
    Win32OfficeAutomation office;
    const AppSnapshot snapshot = office.Gather(c.app);
    EXPECT_STATE(snapshot, c.state);
    EXPECT_EQ(Lines(snapshot), c.expected);
  }
}

TEST(OfficeE2E, ABusyApplicationIsAskedAgainAndAMemberBusyTooLongFailsAloneAndClosed) {
  FakeOffice fake(L"Excel",
                  "[Excel]\nbusy 3\n"
                  "workbook C:\\a.xlsx\n  Name busy 2\n"
                  "workbook C:\\b.xlsx\n  Saved busy 1000\n");
  ASSERT_TRUE(fake.Start());
  OfficeTimings timings;
  timings.busyRetry = 700ms;
  Win32OfficeAutomation office(timings);
  const AppSnapshot snapshot = office.Gather(OfficeApp::Excel);
  EXPECT_STATE(snapshot, AppState::GaveUp);
  EXPECT_EQ(Lines(snapshot), (std::vector<std::string>{
                                 "visible 1 | path C: | saved 1 | name a.xlsx | full C:\\a.xlsx",
                                 "visible 1 | path C: | saved <none> | name b.xlsx | full C:\\b.xlsx"}));
  const auto counts = fake.Counts();
  EXPECT_GE(counts.rejected, 5 + 2);
  // A retry repeats the call, not the name lookup.
  EXPECT_EQ(counts.members.at("Workbook.Name"), (CallCount{1, 2}));
  EXPECT_EQ(counts.members.at("Application.Workbooks"), (CallCount{1, 1}));
}

// A window of the calling thread, to see that its messages are served while
// the caller waits for a worker.
class ProbeWindow {
 public:
  ProbeWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &ProbeWindow::Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ValmoraOfficeProbe";
    ::RegisterClassW(&windowClass);  // a second registration fails harmlessly
    window_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                windowClass.hInstance, this);
  }
  ~ProbeWindow() { ::DestroyWindow(window_); }
  ProbeWindow(const ProbeWindow&) = delete;
  ProbeWindow& operator=(const ProbeWindow&) = delete;
  HWND get() const { return window_; }

  int served = 0;                                  // WM_APP messages handled
  std::function<void()> onQueryEndSession;         // run inside WM_QUERYENDSESSION

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      ::SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<ProbeWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_APP) {
      ++self->served;
      return 0;
    }
    if (self && message == WM_QUERYENDSESSION && self->onQueryEndSession) {
      self->onQueryEndSession();
      return TRUE;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
};

TEST(OfficeE2E, AHungApplicationIsGivenUpOnWithWhatWasReadAndNotAskedAgainWhileItHangs) {
  FakeOffice fake(L"Excel",
                  "[Excel]\nworkbook C:\\a.xlsx\nworkbook C:\\b.xlsx\n  Path hangs\nworkbook C:\\c.xlsx\n");
  ASSERT_TRUE(fake.Start());
  OfficeTimings timings;
  timings.gather = 1500ms;
  timings.cancelGrace = 300ms;
  Win32OfficeAutomation office(timings);
  ProbeWindow window;
  ASSERT_TRUE(window.get());
  ::PostMessageW(window.get(), WM_APP, 0, 0);

  const AppSnapshot hung = office.Gather(OfficeApp::Excel);
  EXPECT_STATE(hung, AppState::GaveUp);
  EXPECT_EQ(Lines(hung),
            std::vector<std::string>{"visible 1 | path C: | saved 1 | name a.xlsx | full C:\\a.xlsx"});
  EXPECT_EQ(window.served, 1) << "the caller's messages wait while it waits";

  // Still hung: the worker stuck in its call is not joined by another.
  const AppSnapshot again = office.Gather(OfficeApp::Excel);
  EXPECT_STATE(again, AppState::GaveUp);
  EXPECT_TRUE(Lines(again).empty());
  const auto counts = fake.Counts();
  EXPECT_EQ(counts.members.at("Application.Workbooks"), (CallCount{1, 1}));
  EXPECT_EQ(counts.members.at("Workbook.Path"), (CallCount{1, 2}));
  EXPECT_FALSE(office.WaitForWorkers(100ms));

  // Once the application is gone, the stuck call fails, its worker ends, and
  // the next gather finds nothing running.
  fake.Kill();
  EXPECT_TRUE(office.WaitForWorkers(10s));
  EXPECT_STATE(office.Gather(OfficeApp::Excel), AppState::NotRunning);
}

TEST(OfficeE2E, AGatherFromInsideQueryEndSessionMakesNoCallOnTheWindowsThread) {
  FakeOffice fake(L"Word", "[Word]\ndocument C:\\Letters\\Offer.docx\n  Saved = false\n");
  ASSERT_TRUE(fake.Start());
  Win32OfficeAutomation office;
  ProbeWindow window;
  ASSERT_TRUE(window.get());
  AppSnapshot inside;
  window.onQueryEndSession = [&] { inside = office.Gather(OfficeApp::Word); };

  // Sent from another thread, as the system sends it: the handler runs inside a sent message.
  const HWND target = window.get();
  valmora::UniqueKernelHandle sent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread sender([target, &sent] {
    ::SendMessageTimeoutW(target, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 20000, nullptr);
    ::SetEvent(sent.get());
  });
  const bool answered = valmora::WaitPumpingMessages(sent.get(), 30000);
  sender.join();
  ASSERT_TRUE(answered);
  EXPECT_STATE(inside, AppState::Read);
  EXPECT_EQ(Lines(inside), std::vector<std::string>{
                               "visible 1 | path C:\\Letters | saved 0 | name Offer.docx | full C:\\Letters\\Offer.docx"});
}

const char kStoredItems[] =
    "inspector\n  EntryID = 00AB12\n  Subject = Lunch\n"
    "item\n  EntryID = 00CD34\n  Subject = Old news\n  Folder = Deleted Items\n";

TEST(OfficeE2E, TheOutlookLookupCreatesOutlookWhenItIsNotRunning) {
  FakeOffice fake(L"Outlook", std::string("[Outlook]\n") + kStoredItems);
  Win32OfficeAutomation office;
  const valmora::OutlookLookup lookup = office.FindOutlookItem(L"00CD34");
  EXPECT_EQ(lookup.answer, valmora::LookupAnswer::Found);
  EXPECT_EQ(Narrow(lookup.folderName), "Deleted Items");
  EXPECT_NE(fake.WaitForServer(10s), 0u) << "started by COM";
  // Every object released: the server COM started ends by itself. (Killed
  // instead, it would leave its class registered for the next test.)
  EXPECT_TRUE(office.WaitForWorkers(10s));
  EXPECT_TRUE(fake.WaitForEnd(20s));
}

TEST(OfficeE2E, TheOutlookLookupFindsItemsAndTheirFolders) {
  FakeOffice fake(L"Outlook", std::string("[Outlook]\n") + kStoredItems);
  ASSERT_TRUE(fake.Start());
  Win32OfficeAutomation office;
  const struct {
    const wchar_t* id;
    bool found;
    const char* folder;
  } cases[] = {{L"00AB12", true, "Inbox"}, {L"00CD34", true, "Deleted Items"}, {L"FFFF", false, ""}, {L"", false, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.id));
    const valmora::OutlookLookup lookup = office.FindOutlookItem(c.id);
    EXPECT_EQ(lookup.answer, c.found ? valmora::LookupAnswer::Found : valmora::LookupAnswer::NotFound);
    EXPECT_EQ(Narrow(lookup.folderName), c.folder);
  }
  // Each lookup is a trip of its own: one name lookup and one call per member.
  const auto counts = fake.Counts().members;
  EXPECT_EQ(counts.at("Application.GetNamespace"), (CallCount{4, 4}));
  EXPECT_EQ(counts.at("NameSpace.Logon"), (CallCount{4, 4}));
  EXPECT_EQ(counts.at("NameSpace.GetItemFromID"), (CallCount{4, 4}));
  EXPECT_EQ(counts.at("MailItem.Parent"), (CallCount{2, 2}));
  EXPECT_EQ(counts.at("Folder.Name"), (CallCount{2, 2}));
}

// No answer in time is no "not found"; and while the worker stays stuck in
// the hung Outlook, the next lookup gives up without asking it again.
TEST(OfficeE2E, AHungLookupGivesUpAndTheNextGivesUpWithoutAskingAgain) {
  FakeOffice fake(L"Outlook", std::string("[Outlook]\nGetItemFromID hangs\n") + kStoredItems);
  ASSERT_TRUE(fake.Start());
  OfficeTimings timings;
  timings.lookup = 1000ms;
  timings.cancelGrace = 200ms;
  Win32OfficeAutomation office(timings);
  EXPECT_EQ(office.FindOutlookItem(L"00AB12").answer, valmora::LookupAnswer::GaveUp);
  EXPECT_EQ(office.FindOutlookItem(L"00CD34").answer, valmora::LookupAnswer::GaveUp);
  EXPECT_EQ(office.Gather(OfficeApp::Outlook).state, valmora::AppState::GaveUp);
  EXPECT_EQ(fake.Counts().members.at("NameSpace.GetItemFromID").invokes, 1);
  fake.Kill();
}

}  // namespace
}  // namespace e2e
