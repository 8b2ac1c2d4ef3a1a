// The fake Office server seen from a client, the way Valmora talks to it:
// attach or create, walk collections both ways, read properties, and meet
// each injected fault. Proves the test tool before other tests rely on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "automation_client.h"
#include "class_ids_win32.h"
#include "fake_office.h"
#include "harness.h"
#include "running_objects.h"

namespace fake_office {
void PrintTo(const CallCount& count, std::ostream* out) { *out << "{names " << count.names << ", invokes " << count.invokes << "}"; }
}  // namespace fake_office

namespace e2e {
namespace {

using namespace std::chrono_literals;
using fake_office::ComApartment;
using fake_office::CallCount;
using fake_office::CallCountMap;

struct DocumentView {
  std::wstring fullName, path, name;
  int saved, visible;
  bool operator==(const DocumentView&) const = default;
};

std::ostream& operator<<(std::ostream& out, const DocumentView& d) {
  return out << fake_office::Narrow(d.fullName) << " | " << fake_office::Narrow(d.path) << " | "
             << fake_office::Narrow(d.name) << " | saved " << d.saved << " | visible " << d.visible;
}

DocumentView Read(IDispatch* document, bool windowsByItem) {
  const Argument one(1);
  ComPtr<IDispatch> window = windowsByItem ? GetDispatch(GetDispatch(document, L"Windows").Get(), L"Item", {&one})
                                           : GetDispatch(document, L"Windows", {&one});
  return {GetText(document, L"FullName"), GetText(document, L"Path"), GetText(document, L"Name"),
          GetBool(document, L"Saved"), window ? GetBool(window.Get(), L"Visible") : -1};
}

std::vector<ComPtr<IDispatch>> Enumerate(IDispatch* collection) {
  std::vector<ComPtr<IDispatch>> items;
  Variant value;
  if (FAILED(CallId(collection, DISPID_NEWENUM, value).result) || value.get().vt != VT_UNKNOWN) return items;
  ComPtr<IEnumVARIANT> walker;
  if (FAILED(value.get().punkVal->QueryInterface(IID_PPV_ARGS(&walker)))) return items;
  for (;;) {
    Variant item;
    ULONG fetched = 0;
    if (walker->Next(1, item.Out(), &fetched) != S_OK || fetched != 1) break;
    if (item.get().vt == VT_DISPATCH) items.emplace_back(item.get().pdispVal);
  }
  return items;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// Both ways Valmora may walk a collection, and both spellings of Item.
void WalkDocuments(const wchar_t* application, const wchar_t* collectionName, const std::string& scenario,
                   const std::vector<DocumentView>& expected) {
  SCOPED_TRACE(fake_office::Narrow(application));
  FakeOffice fake(application, scenario);
  ASSERT_TRUE(fake.Start());
  HRESULT attached = E_FAIL;
  ComPtr<IDispatch> app = Attach((std::wstring(application) + L".Application").c_str(), &attached);
  ASSERT_TRUE(app) << std::hex << attached;
  ComPtr<IDispatch> collection = GetDispatch(app.Get(), collectionName);
  ASSERT_TRUE(collection);
  ASSERT_EQ(GetLong(collection.Get(), L"Count"), static_cast<long>(expected.size()));

  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const Argument index(static_cast<long>(i + 1));
    Variant byDefault;
    ASSERT_EQ(CallId(collection.Get(), DISPID_VALUE, byDefault, {&index}).result, S_OK);
    ASSERT_EQ(byDefault.get().vt, VT_DISPATCH);
    EXPECT_EQ(Read(GetDispatch(collection.Get(), L"Item", {&index}).Get(), true), expected[i]);
    EXPECT_EQ(Read(byDefault.get().pdispVal, false), expected[i]);
    EXPECT_EQ(Read(GetDispatch(app.Get(), collectionName, {&index}).Get(), false), expected[i]);
  }
  const Argument first(1L);
  EXPECT_EQ(GetText(GetDispatch(collection.Get(), L"item", {&first}).Get(), L"FULLNAME"), expected[0].fullName);

  const auto walked = Enumerate(collection.Get());
  ASSERT_EQ(walked.size(), expected.size());
  for (size_t i = 0; i < walked.size(); ++i) EXPECT_EQ(Read(walked[i].Get(), false), expected[i]);

  const Argument beyond(static_cast<long>(expected.size() + 1));
  Variant none;
  EXPECT_EQ(Call(collection.Get(), L"Item", none, {&beyond}).result, DISP_E_BADINDEX);
}

TEST(FakeOfficeE2E, ExcelAndWordAreAttachedAndWalkedBothWays) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  WalkDocuments(L"Excel", L"Workbooks",
                "[Excel]\n"
                "workbook C:\\Data\\Budget.xlsx\n  Saved = false\n"
                "workbook C:\\Donn\xC3\xA9" "es\\Pl\xC3\xA4n \xE2\x82\xAC.xlsx\n  Visible = false\n"
                "workbook Book3\n",
                {{L"C:\\Data\\Budget.xlsx", L"C:\\Data", L"Budget.xlsx", 0, 1},
                 {L"C:\\Donn\u00E9es\\Pl\u00E4n \u20AC.xlsx", L"C:\\Donn\u00E9es", L"Pl\u00E4n \u20AC.xlsx", 1, 0},
                 {L"Book3", L"", L"Book3", 1, 1}});
  WalkDocuments(L"Word", L"Documents",
                "[Word]\ndocument https://example.org/team/Notes.docx\n  Saved = false\ndocument Document2\n",
                {{L"https://example.org/team/Notes.docx", L"https://example.org/team", L"Notes.docx", 0, 1},
                 {L"Document2", L"", L"Document2", 1, 1}});
}

// What a client that finds documents in the Running Object Table needs: the
// application's name, and the way from each document back to its application.
// What one that looks for Office by its windows finds: a main window of
// Office's class, never shown, gone with the server.
TEST(FakeOfficeE2E, EveryApplicationSaysItsNameAndEachDocumentLeadsBackToIt) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  const struct {
    const wchar_t* application;
    const char* scenario;
    const wchar_t* collection;
    const wchar_t* title;
    const wchar_t* windowClass;
    HRESULT visibleResult;  // the application's Visible
    VARTYPE visibleType;
    long visible;  // VARIANT_TRUE and msoTrue are both -1
  } cases[] = {
      {L"Excel", "[Excel]\nVisible = false\nworkbook C:\\Data\\a.xlsx\nworkbook Book2\n", L"Workbooks",
       L"Microsoft Excel", L"XLMAIN", S_OK, VT_BOOL, 0},
      {L"Word", "[Word]\ndocument https://example.org/team/b.docx\n", L"Documents", L"Microsoft Word", L"OpusApp",
       S_OK, VT_BOOL, -1},
      {L"PowerPoint", "[PowerPoint]\nVisible = FALSE\npresentation C:\\Talks\\c.pptx\n", L"Presentations",
       L"Microsoft PowerPoint", L"PPTFrameClass", S_OK, VT_I4, 0},
      {L"Outlook", "[Outlook]\ninspector\n  EntryID = 00AB\n", L"Inspectors", L"Microsoft Outlook",
       L"rctrl_renwnd32", DISP_E_UNKNOWNNAME, VT_EMPTY, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(fake_office::Narrow(c.application));
    FakeOffice fake(c.application, c.scenario);
    ASSERT_TRUE(fake.Start());
    {
      const ComPtr<IDispatch> app = Attach((std::wstring(c.application) + L".Application").c_str());
      ASSERT_TRUE(app);
      EXPECT_EQ(GetText(app.Get(), L"Name"), c.title);
      Variant visible;
      EXPECT_EQ(Call(app.Get(), L"Visible", visible).result, c.visibleResult);
      EXPECT_EQ(visible.get().vt, c.visibleType);
      if (c.visibleType == VT_BOOL) {
        EXPECT_EQ(visible.get().boolVal, c.visible);
      } else if (c.visibleType == VT_I4) {
        EXPECT_EQ(visible.get().lVal, c.visible);
      }
      const ComPtr<IDispatch> collection = GetDispatch(app.Get(), c.collection);
      const auto elements = Enumerate(collection.Get());
      ASSERT_FALSE(elements.empty());
      for (const auto& element : elements) {
        if (std::wstring(c.application) == L"Outlook") continue;  // an inspector is no document
        const ComPtr<IDispatch> owner = GetDispatch(element.Get(), L"Application");
        EXPECT_EQ(Identity(owner.Get()), Identity(app.Get()));
        const ComPtr<IDispatch> listed = BindFile(GetText(element.Get(), L"FullName"));
        EXPECT_EQ(Identity(GetDispatch(listed.Get(), L"Application").Get()), Identity(app.Get()));
      }
    }
    const HWND window = ::FindWindowW(c.windowClass, nullptr);
    ASSERT_NE(window, nullptr);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, fake.ProcessId());
    EXPECT_EQ(::GetParent(window), nullptr);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(VisibleWindowOf(owner, c.windowClass), nullptr);  // the harness's searches pass it over
    fake.Kill();
    EXPECT_TRUE(WaitUntil([&] { return ::FindWindowW(c.windowClass, nullptr) == nullptr; }, 10s));
  }
}

// A program that is not Office but registers its files as Office does, under
// a name a careless client could take for Excel's.
TEST(FakeOfficeE2E, AnotherProgramsDocumentsLeadToAnApplicationThatIsNoOffice) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice viewer(L"Other", "[Other]\ndocument C:\\Viewer\\Report.xlsx\n  Saved = false\ndocument Book1\n");
  FakeOffice named(L"Other", "[Other]\nname = Fabrikam Sheets\nWorkbooks busy 1\ndocument C:\\Fab\\x.xlsx\n", 2);
  ASSERT_TRUE(viewer.Start());
  ASSERT_TRUE(named.Start());
  EXPECT_EQ(Sorted(RunningFileNames()), Sorted({L"C:\\Fab\\x.xlsx", L"Book1", L"C:\\Viewer\\Report.xlsx"}));
  EXPECT_FALSE(Attach(L"Excel.Application"));  // never the active object
  for (const wchar_t* windowClass : {L"XLMAIN", L"OpusApp", L"PPTFrameClass", L"rctrl_renwnd32"}) {
    EXPECT_EQ(::FindWindowW(windowClass, nullptr), nullptr) << fake_office::Narrow(windowClass);
  }

  const struct {
    const wchar_t* fullName;
    const wchar_t* title;
    long count;
    int saved;
  } cases[] = {{L"C:\\Viewer\\Report.xlsx", L"Contoso Excel Viewer", 2, 0},
               {L"Book1", L"Contoso Excel Viewer", 2, 1},
               {L"C:\\Fab\\x.xlsx", L"Fabrikam Sheets", 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(fake_office::Narrow(c.fullName));
    const ComPtr<IDispatch> document = BindFile(c.fullName);
    ASSERT_TRUE(document);
    EXPECT_EQ(GetBool(document.Get(), L"Saved"), c.saved);
    const ComPtr<IDispatch> app = GetDispatch(document.Get(), L"Application");
    EXPECT_EQ(GetText(app.Get(), L"Name"), c.title);
    Variant books;
    HRESULT walked = Call(app.Get(), L"Workbooks", books).result;
    if (walked == RPC_E_SERVERCALL_RETRYLATER) walked = Call(app.Get(), L"Workbooks", books).result;
    ASSERT_EQ(walked, S_OK);
    ASSERT_EQ(books.get().vt, VT_DISPATCH);
    EXPECT_EQ(GetLong(books.get().pdispVal, L"Count"), c.count);
    bool found = false;
    for (const auto& book : Enumerate(books.get().pdispVal)) {
      if (GetText(book.Get(), L"FullName") == c.fullName) found = true;
    }
    EXPECT_TRUE(found);
  }
  const auto counts = viewer.Counts();
  EXPECT_EQ(counts.members.at("Workbook.FullName").invokes, 2 + 2);  // by each walk of both of its documents
  EXPECT_EQ(counts.members.at("Application.Workbooks"), (CallCount{2, 2}));
  EXPECT_EQ(named.Counts().rejected, 1);
}

// PowerPoint's own shapes: Saved is an MsoTriState, and a presentation may
// have no window at all.
TEST(FakeOfficeE2E, PowerPointServesPresentationsWithTriStateSavedAndTheirWindowCounts) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice fake(L"PowerPoint",
                  "[PowerPoint]\n"
                  "presentation C:\\Talks\\Kick-off 2026.pptx\n  Saved = false\n"
                  "presentation Presentation2\n  Windows = 0\n"
                  "presentation https://example.org/sites/team/Review.pptx\n  Windows = 2\n  Path fails\n");
  ASSERT_TRUE(fake.Start());
  const ComPtr<IDispatch> app = Attach(L"PowerPoint.Application");
  ASSERT_TRUE(app);
  const ComPtr<IDispatch> presentations = GetDispatch(app.Get(), L"Presentations");
  ASSERT_EQ(GetLong(presentations.Get(), L"Count"), 3);
  fake.ResetCounts();

  const struct {
    const wchar_t* fullName;
    const wchar_t* path;
    const wchar_t* name;
    long saved;  // msoTrue -1, msoFalse 0
    long windows;
  } expected[] = {{L"C:\\Talks\\Kick-off 2026.pptx", L"C:\\Talks", L"Kick-off 2026.pptx", 0, 1},
                  {L"Presentation2", L"", L"Presentation2", -1, 0},
                  {L"https://example.org/sites/team/Review.pptx", L"<failed>", L"Review.pptx", -1, 2}};
  const auto walked = Enumerate(presentations.Get());
  ASSERT_EQ(walked.size(), std::size(expected));
  for (size_t i = 0; i < walked.size(); ++i) {
    SCOPED_TRACE(i);
    IDispatch* presentation = walked[i].Get();
    const Argument index(static_cast<long>(i + 1));
    EXPECT_EQ(Identity(GetDispatch(presentations.Get(), L"Item", {&index}).Get()), Identity(presentation));
    EXPECT_EQ(GetText(presentation, L"FullName"), expected[i].fullName);
    EXPECT_EQ(GetText(presentation, L"Path"), expected[i].path);
    EXPECT_EQ(GetText(presentation, L"Name"), expected[i].name);
    Variant saved;
    ASSERT_EQ(Call(presentation, L"Saved", saved).result, S_OK);
    ASSERT_EQ(saved.get().vt, VT_I4);
    EXPECT_EQ(saved.get().lVal, expected[i].saved);
    const ComPtr<IDispatch> windows = GetDispatch(presentation, L"Windows");
    EXPECT_EQ(GetLong(windows.Get(), L"Count"), expected[i].windows);
    const Argument one(1);
    Variant first;
    EXPECT_EQ(Call(windows.Get(), L"Item", first, {&one}).result, expected[i].windows > 0 ? S_OK : DISP_E_BADINDEX);
    EXPECT_EQ(Identity(GetDispatch(presentation, L"Application").Get()), Identity(app.Get()));
    EXPECT_EQ(GetText(BindFile(expected[i].fullName).Get(), L"FullName"), expected[i].fullName);
  }

  // A PowerPoint window says nothing of being visible: a client must not ask.
  const Argument one(1);
  Variant visible;
  EXPECT_EQ(Call(GetDispatch(walked[0].Get(), L"Windows", {&one}).Get(), L"Visible", visible).result, DISP_E_UNKNOWNNAME);
  const auto counts = fake.Counts().members;
  EXPECT_EQ(counts.at("Presentations._NewEnum"), (CallCount{0, 1}));
  EXPECT_EQ(counts.at("Presentation.Saved"), (CallCount{3, 3}));
  EXPECT_EQ(counts.at("Windows.Count"), (CallCount{3, 3}));
  EXPECT_EQ(counts.at("Window.?Visible"), (CallCount{1, 0}));
}

TEST(FakeOfficeE2E, OutlookIsCreatedWhenNotRunningAndLooksItemsUp) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice fake(L"Outlook",
                  "[Outlook]\n"
                  "inspector\n  EntryID = 00AB\n  Subject = Lunch\n  CreationTime = 2026-05-12 09:30:15\n  Saved = false\n"
                  "item\n  EntryID = 00CD\n  Subject = Old news\n  Folder = Deleted Items\n");
  HRESULT attached = S_OK;
  EXPECT_FALSE(Attach(L"Outlook.Application", &attached));
  EXPECT_TRUE(FAILED(attached));

  {
    CLSID classId{};
    ASSERT_EQ(::CLSIDFromProgID(L"Outlook.Application", &classId), S_OK);
    EXPECT_TRUE(::IsEqualCLSID(classId, fake_office::kOutlookClassId));
    ComPtr<IDispatch> outlook;
    const HRESULT created =
        ::CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(outlook.GetAddressOf()));
    ASSERT_EQ(created, S_OK) << std::hex << created;
    EXPECT_NE(fake.WaitForServer(10s), 0u);
    EXPECT_TRUE(Attach(L"Outlook.Application"));  // the created instance is the running one

    ComPtr<IDispatch> inspectors = GetDispatch(outlook.Get(), L"Inspectors");
    ASSERT_EQ(GetLong(inspectors.Get(), L"Count"), 1);
    const Argument one(1);
    ComPtr<IDispatch> shown = GetDispatch(GetDispatch(inspectors.Get(), L"Item", {&one}).Get(), L"CurrentItem");
    ASSERT_TRUE(shown);
    EXPECT_EQ(GetText(shown.Get(), L"EntryID"), L"00AB");
    EXPECT_EQ(GetText(shown.Get(), L"Subject"), L"Lunch");
    EXPECT_EQ(GetBool(shown.Get(), L"Saved"), 0);
    Variant created_at;
    ASSERT_EQ(Call(shown.Get(), L"CreationTime", created_at).result, S_OK);
    ASSERT_EQ(created_at.get().vt, VT_DATE);
    SYSTEMTIME time{};
    ASSERT_TRUE(::VariantTimeToSystemTime(created_at.get().date, &time));
    EXPECT_EQ(std::vector<int>({time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond}),
              std::vector<int>({2026, 5, 12, 9, 30, 15}));

    const Argument mapi(L"MAPI");
    ComPtr<IDispatch> ns = GetDispatch(outlook.Get(), L"GetNamespace", {&mapi});
    ASSERT_TRUE(ns);
    Variant nothing;
    EXPECT_EQ(Call(ns.Get(), L"Logon", nothing, {}, DISPATCH_METHOD).result, S_OK);
    const Argument empty(L""), no(0L);
    EXPECT_EQ(Call(ns.Get(), L"Logon", nothing, {&empty, &empty, &no, &no}, DISPATCH_METHOD).result, S_OK);

    const struct {
      const wchar_t* id;
      const wchar_t* folder;  // nullptr: not found
    } lookups[] = {{L"00AB", L"Inbox"}, {L"00CD", L"Deleted Items"}, {L"FFFF", nullptr}, {L"", nullptr}};
    for (const auto& lookup : lookups) {
      SCOPED_TRACE(fake_office::Narrow(lookup.id));
      const Argument id(lookup.id);
      Variant item;
      const CallResult call = Call(ns.Get(), L"GetItemFromID", item, {&id}, DISPATCH_METHOD);
      if (lookup.folder) {
        ASSERT_EQ(call.result, S_OK);
        ASSERT_EQ(item.get().vt, VT_DISPATCH);
        EXPECT_EQ(GetText(GetDispatch(item.get().pdispVal, L"Parent").Get(), L"Name"), lookup.folder);
      } else {
        EXPECT_EQ(call.result, DISP_E_EXCEPTION);
        EXPECT_EQ(call.exception, static_cast<SCODE>(0x8004010F));  // not found
      }
    }
  }
  // Every object released: the server COM started ends by itself.
  EXPECT_TRUE(fake.WaitForEnd(20s));
}

TEST(FakeOfficeE2E, CountsExactlyTheCallsMadeAndReadingThemCountsNothing) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice fake(L"Excel", "[Excel]\nworkbook C:\\a.xlsx\nworkbook C:\\b.xlsx\n");
  ASSERT_TRUE(fake.Start());
  ComPtr<IDispatch> excel = Attach(L"Excel.Application");
  ASSERT_TRUE(excel);
  fake.ResetCounts();

  ComPtr<IDispatch> books = GetDispatch(excel.Get(), L"Workbooks");
  ASSERT_EQ(GetLong(books.Get(), L"Count"), 2);
  ComPtr<IDispatch> first, second;
  {
    const Argument one(1), two(2);
    Variant a, b;
    CallId(books.Get(), DISPID_VALUE, a, {&one});
    CallId(books.Get(), DISPID_VALUE, b, {&two});
    first = a.get().pdispVal;
    second = b.get().pdispVal;
  }
  EXPECT_EQ(Enumerate(books.Get()).size(), 2u);
  // One name lookup per interface, then calls by DISPID, as a scan should.
  DISPID saved = DISPID_UNKNOWN;
  LPOLESTR name = const_cast<LPOLESTR>(L"Saved");
  ASSERT_EQ(first->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &saved), S_OK);
  Variant value;
  EXPECT_EQ(CallId(first.Get(), saved, value, {}, DISPATCH_PROPERTYGET).result, S_OK);
  EXPECT_EQ(CallId(second.Get(), saved, value, {}, DISPATCH_PROPERTYGET).result, S_OK);
  EXPECT_EQ(Call(first.Get(), L"Colour", value).result, DISP_E_UNKNOWNNAME);

  const CallCountMap expected{{"Application.Workbooks", CallCount{1, 1}}, {"Workbooks.Count", CallCount{1, 1}},
                              {"Workbooks.Item", CallCount{0, 2}},        {"Workbooks._NewEnum", CallCount{0, 1}},
                              {"Enum.Next", CallCount{0, 3}},             {"Workbook.Saved", CallCount{1, 2}},
                              {"Workbook.?Colour", CallCount{1, 0}}};
  const auto report = fake.Counts();
  EXPECT_EQ(report.members, expected);
  EXPECT_EQ(report.rejected, 0);
  EXPECT_EQ(fake.Counts().members, expected);
  fake.ResetCounts();
  EXPECT_TRUE(fake.Counts().members.empty());
}

TEST(FakeOfficeE2E, AFailingMemberFailsAloneAndAnExitingOneDisconnects) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice fake(L"Excel",
                  "[Excel]\nName fails\nworkbook C:\\a.xlsx\n  Saved fails\n  Name exits\n"
                  "workbook C:\\b.xlsx\n  Application fails\n");
  ASSERT_TRUE(fake.Start());
  const ComPtr<IDispatch> excel = Attach(L"Excel.Application");
  ComPtr<IDispatch> books = GetDispatch(excel.Get(), L"Workbooks");
  const Argument one(1), two(2);
  ComPtr<IDispatch> first = GetDispatch(books.Get(), L"Item", {&one});
  ComPtr<IDispatch> second = GetDispatch(books.Get(), L"Item", {&two});
  ASSERT_TRUE(first && second);

  Variant value;
  const CallResult failed = Call(first.Get(), L"Saved", value);
  EXPECT_EQ(failed.result, DISP_E_EXCEPTION);
  EXPECT_EQ(failed.exception, E_FAIL);
  EXPECT_EQ(GetText(first.Get(), L"FullName"), L"C:\\a.xlsx");
  EXPECT_EQ(GetBool(second.Get(), L"Saved"), 1);
  EXPECT_EQ(GetText(excel.Get(), L"Name"), L"<failed>");
  EXPECT_EQ(Call(second.Get(), L"Application", value).exception, E_FAIL);
  EXPECT_EQ(Identity(GetDispatch(first.Get(), L"Application").Get()), Identity(excel.Get()));

  const HRESULT exited = Call(first.Get(), L"Name", value).result;
  EXPECT_TRUE(FAILED(exited)) << std::hex << exited;
  EXPECT_TRUE(fake.WaitForEnd(10s));
  EXPECT_TRUE(FAILED(Call(second.Get(), L"FullName", value).result));
}

// Counts the retries the COM runtime asks of a client (Windows does; Wine 8
// hands the rejection back as the call's result instead).
class CountingFilter : public IMessageFilter {
 public:
  std::atomic<int> retries{0};
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IMessageFilter) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on the test's stack
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP_(DWORD) HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override { return SERVERCALL_ISHANDLED; }
  STDMETHODIMP_(DWORD) RetryRejectedCall(HTASK, DWORD, DWORD) override {
    ++retries;
    return 100;
  }
  STDMETHODIMP_(DWORD) MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

TEST(FakeOfficeE2E, BusyCallsAreTurnedAwayAsOftenAsAskedThenServed) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice fake(L"Excel", "[Excel]\nbusy 2\nworkbook C:\\a.xlsx\n  Name busy 3\n");
  ASSERT_TRUE(fake.Start());
  CountingFilter filter;
  ComPtr<IMessageFilter> previous;
  ASSERT_EQ(::CoRegisterMessageFilter(&filter, previous.GetAddressOf()), S_OK);

  int refused = 0;
  auto patiently = [&](IDispatch* object, const wchar_t* member, Variant& value,
                       std::initializer_list<const Argument*> arguments = {}) {
    for (int attempt = 0; attempt < 20; ++attempt) {
      const HRESULT result = Call(object, member, value, arguments).result;
      if (result != RPC_E_SERVERCALL_RETRYLATER && result != RPC_E_CALL_REJECTED) return result;
      ++refused;
      ::Sleep(100);
    }
    return RPC_E_SERVERCALL_RETRYLATER;
  };
  ComPtr<IDispatch> excel = Attach(L"Excel.Application");
  ASSERT_TRUE(excel);
  Variant books, book, name;
  ASSERT_EQ(patiently(excel.Get(), L"Workbooks", books), S_OK);  // the application is busy at first
  const Argument one(1);
  ASSERT_EQ(patiently(books.get().pdispVal, L"Item", book, {&one}), S_OK);
  ASSERT_EQ(patiently(book.get().pdispVal, L"Name", name), S_OK);  // then this member three times
  EXPECT_EQ(std::wstring(name.get().bstrVal), L"a.xlsx");

  EXPECT_EQ(refused + filter.retries, 5);
  // Turned-away calls are counted apart; the members count what they served.
  const auto report = fake.Counts();
  EXPECT_EQ(report.rejected, 5);
  EXPECT_EQ(report.members.at("Application.Workbooks"), (CallCount{1, 1}));
  EXPECT_EQ(report.members.at("Workbook.Name"), (CallCount{4, 1}));  // each try looked the name up again
  ::CoRegisterMessageFilter(previous.Get(), nullptr);
}

// An application busy for good from some call on, as Excel is while a cell is
// being edited, with each answer a busy Office gives. Each GetIDsOfNames is
// one incoming call.
TEST(FakeOfficeE2E, AnApplicationBusyFromTheKthCallTurnsAwayEveryLaterCall) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  const struct {
    const char* statement;
    int from;
    HRESULT answer;
  } cases[] = {{"busy from 3", 3, RPC_E_SERVERCALL_RETRYLATER},
               {"rejected from 3", 3, RPC_E_CALL_REJECTED},
               {"ignored from 2", 2, fake_office::kVbaIgnore},
               {"busy always", 1, RPC_E_SERVERCALL_RETRYLATER},
               {"busy 1\nignored from 3", 3, fake_office::kVbaIgnore}};
  constexpr int kCalls = 5;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.statement);
    FakeOffice fake(L"Excel", std::string("[Excel]\n") + c.statement + "\nworkbook C:\\a.xlsx\n");
    ASSERT_TRUE(fake.Start());
    const ComPtr<IDispatch> excel = Attach(L"Excel.Application");  // reaches no IDispatch member
    ASSERT_TRUE(excel);
    const bool busyFirst = std::string(c.statement).starts_with("busy 1\n");
    for (int call = 1; call <= kCalls; ++call) {
      SCOPED_TRACE(call);
      DISPID id = DISPID_UNKNOWN;
      LPOLESTR name = const_cast<LPOLESTR>(L"Name");
      const HRESULT expected =
          call >= c.from ? c.answer : (busyFirst && call == 1 ? RPC_E_SERVERCALL_RETRYLATER : S_OK);
      EXPECT_EQ(excel->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), expected);
    }
    // Reading the counts goes around COM: it works while every call is turned away.
    const auto report = fake.Counts();
    EXPECT_EQ(report.rejected, kCalls - c.from + 1 + (busyFirst ? 1 : 0));
    const int served = c.from - 1 - (busyFirst ? 1 : 0);
    EXPECT_EQ(report.members.count("Application.Name") ? report.members.at("Application.Name").names : 0, served);
  }
}

// Office's other busy answers, member by member: each member turns away its
// first N calls on its object, then serves.
TEST(FakeOfficeE2E, AMemberTurnsCallsAwayWithEachBusyAnswerOfOfficeThenServes) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice fake(L"Excel",
                  "[Excel]\nVisible ignored 1\nworkbook C:\\a.xlsx\n  Name rejected 2\n  Path ignored 1\n"
                  "  FullName ignored-exception 2\n  Saved busy 1\n");
  ASSERT_TRUE(fake.Start());
  const ComPtr<IDispatch> excel = Attach(L"Excel.Application");
  const Argument one(1);
  const ComPtr<IDispatch> book = GetDispatch(GetDispatch(excel.Get(), L"Workbooks").Get(), L"Item", {&one});
  ASSERT_TRUE(book);
  const struct {
    IDispatch* object;
    const wchar_t* member;
    int times;
    HRESULT result;
    SCODE exception;
  } cases[] = {{excel.Get(), L"Visible", 1, fake_office::kVbaIgnore, S_OK},
               {book.Get(), L"Name", 2, RPC_E_CALL_REJECTED, S_OK},
               {book.Get(), L"Path", 1, fake_office::kVbaIgnore, S_OK},
               {book.Get(), L"FullName", 2, DISP_E_EXCEPTION, fake_office::kVbaIgnore},
               {book.Get(), L"Saved", 1, RPC_E_SERVERCALL_RETRYLATER, S_OK}};
  int turnedAway = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(fake_office::Narrow(c.member));
    Variant value;
    for (int i = 0; i < c.times; ++i, ++turnedAway) {
      const CallResult refused = Call(c.object, c.member, value);
      EXPECT_EQ(refused.result, c.result);
      EXPECT_EQ(refused.exception, c.exception);
    }
    EXPECT_EQ(Call(c.object, c.member, value).result, S_OK);
  }
  const auto report = fake.Counts();
  EXPECT_EQ(report.rejected, turnedAway);
  EXPECT_EQ(report.members.at("Workbook.FullName"), (CallCount{3, 1}));  // each try looked the name up again
}

// The call a hung application never answers, made on a thread of its own.
struct HungCall {
  valmora::UniqueKernelHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<HRESULT> result{S_OK};
};

TEST(FakeOfficeE2E, AHungMemberIsGivenUpOnAndTheServerKilled) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice fake(L"Excel", "[Excel]\nworkbook C:\\a.xlsx\n  Path hangs\n");
  ASSERT_TRUE(fake.Start());

  auto call = std::make_shared<HungCall>();
  std::thread worker([call] {
    const ComApartment own(COINIT_APARTMENTTHREADED);
    const Argument one(1);
    ComPtr<IDispatch> book = GetDispatch(GetDispatch(Attach(L"Excel.Application").Get(), L"Workbooks").Get(), L"Item", {&one});
    Variant path;
    call->result = book ? Call(book.Get(), L"Path", path).result : E_POINTER;
    ::SetEvent(call->done.get());
  });

  EXPECT_EQ(::WaitForSingleObject(call->done.get(), 1000), static_cast<DWORD>(WAIT_TIMEOUT));
  // The counts still come while the server's apartment hangs.
  EXPECT_EQ(fake.Counts().members["Workbook.Path"].invokes, 1);
  fake.Kill();
  if (::WaitForSingleObject(call->done.get(), 20000) == WAIT_OBJECT_0) {
    worker.join();
    EXPECT_TRUE(FAILED(call->result.load())) << std::hex << call->result.load();
  } else {
    worker.detach();  // abandoned, as Valmora abandons a scan that does not come back
  }
}

}  // namespace
}  // namespace e2e
