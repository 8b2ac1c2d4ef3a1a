// What the Running Object Table does with the fake server's documents, from
// another process: the facts a client that looks for every running Office
// instance relies on (listing, identity, entries of a killed or hung server).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "automation_client.h"
#include "fake_office.h"
#include "library/unique_handle_win32.h"
#include "running_objects.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;
using fake_office::ComApartment;
using fake_office::Narrow;

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
  std::sort(names.begin(), names.end());
  return names;
}

const wchar_t* const kExcelBooks[] = {L"C:\\Donn\u00E9es\\Pl\u00E4n \u20AC.xlsx", L"C:\\My Files\\Budget 2026.xlsx",
                                      L"https://example.org/sites/team/Plan.xlsx", L"Book2"};
constexpr char kExcelScenario[] =
    "[Excel]\n"
    "workbook C:\\Donn\xC3\xA9" "es\\Pl\xC3\xA4n \xE2\x82\xAC.xlsx\n"
    "workbook C:\\My Files\\Budget 2026.xlsx\n"
    "workbook https://example.org/sites/team/Plan.xlsx\n"
    "workbook Book2\n";

// Also what a program that is not Office registers, and what an Office that
// runs but is not attachable (not registered yet, or started as administrator)
// leaves out.
TEST(FakeOfficeRotE2E, DocumentsAreFileMonikersUnderTheirFullNamesAndRotOffOrRegisterOffRegistersNone) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice excel(L"Excel", kExcelScenario);
  FakeOffice word(L"Word", "[Word]\nrot off\ndocument C:\\Data\\Unlisted.docx\n");
  FakeOffice powerPoint(L"PowerPoint", "[PowerPoint]\nregister off\npresentation C:\\Talks\\Unlisted.pptx\n");
  FakeOffice viewer(L"Other", "[Other]\ndocument C:\\Viewer\\Seen.xlsx\n");
  for (FakeOffice* fake : {&excel, &word, &powerPoint, &viewer}) ASSERT_TRUE(fake->Start());

  std::vector<std::wstring> expected(std::begin(kExcelBooks), std::end(kExcelBooks));
  expected.push_back(L"C:\\Viewer\\Seen.xlsx");
  EXPECT_EQ(Sorted(RunningFileNames()), Sorted(expected));
  // The active objects are there too, as item monikers a client passes over.
  int others = 0;
  for (const RunningEntry& entry : RunningEntries()) {
    SCOPED_TRACE(Narrow(entry.displayName));
    if (entry.kind == MKSYS_FILEMONIKER) {
      HRESULT bound = E_FAIL;
      const ComPtr<IUnknown> object = BindEntry(entry.moniker.Get(), &bound);
      ASSERT_EQ(bound, S_OK);
      ComPtr<IDispatch> book;
      ASSERT_EQ(object.As(&book), S_OK);
      EXPECT_EQ(GetText(book.Get(), L"FullName"), entry.displayName);
    } else {
      EXPECT_EQ(entry.kind, static_cast<DWORD>(MKSYS_ITEMMONIKER));
      EXPECT_EQ(entry.displayName.rfind(L"!{", 0), 0u);
      ++others;
    }
  }
  EXPECT_EQ(others, 2);  // Excel and Word; the other program is never the active object
  // The table compares file monikers without regard to case.
  EXPECT_EQ(GetText(BindFile(L"c:\\my files\\BUDGET 2026.XLSX").Get(), L"Name"), L"Budget 2026.xlsx");
  EXPECT_TRUE(Attach(L"Word.Application"));
  HRESULT attached = S_OK;
  EXPECT_FALSE(Attach(L"PowerPoint.Application", &attached));
  EXPECT_EQ(attached, MK_E_UNAVAILABLE);
  EXPECT_NE(::FindWindowW(L"PPTFrameClass", nullptr), nullptr);  // yet it runs
}

TEST(FakeOfficeRotE2E, AnEntryIsTheSameObjectAsTheCollectionsItem) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice excel(L"Excel", kExcelScenario);
  ASSERT_TRUE(excel.Start());
  const ComPtr<IDispatch> books = GetDispatch(Attach(L"Excel.Application").Get(), L"Workbooks");
  ASSERT_TRUE(books);

  std::vector<ComPtr<IDispatch>> held;  // identities compare only while held
  for (long i = 1; i <= static_cast<long>(std::size(kExcelBooks)); ++i) {
    SCOPED_TRACE(i);
    const Argument index(i);
    const ComPtr<IDispatch> item = GetDispatch(books.Get(), L"Item", {&index});
    const ComPtr<IDispatch> entry = BindFile(kExcelBooks[i - 1]);
    const ComPtr<IDispatch> again = BindFile(kExcelBooks[i - 1]);
    ASSERT_TRUE(item && entry && again);
    EXPECT_EQ(Identity(entry.Get()), Identity(item.Get()));
    EXPECT_EQ(Identity(again.Get()), Identity(entry.Get()));
    for (const auto& other : held) EXPECT_NE(Identity(other.Get()), Identity(entry.Get()));
    held.push_back(entry);
  }
}

TEST(FakeOfficeRotE2E, AKilledServersEntriesLeaveTheTableAndNoLongerBind) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice excel(L"Excel", kExcelScenario);
  FakeOffice word(L"Word", "[Word]\ndocument C:\\Data\\Stays.docx\n");
  ASSERT_TRUE(excel.Start());
  ASSERT_TRUE(word.Start());
  std::vector<RunningEntry> before;
  for (RunningEntry& entry : RunningEntries()) {
    if (entry.kind == MKSYS_FILEMONIKER && entry.displayName != L"C:\\Data\\Stays.docx") before.push_back(std::move(entry));
  }
  ASSERT_EQ(before.size(), std::size(kExcelBooks));
  const ComPtr<IDispatch> book = BindFile(kExcelBooks[0]);
  ASSERT_TRUE(book);

  excel.Kill();
  // Gone from the table with its process: what a client read before no longer binds.
  EXPECT_EQ(RunningFileNames(), std::vector<std::wstring>{L"C:\\Data\\Stays.docx"});
  for (const RunningEntry& entry : before) {
    SCOPED_TRACE(Narrow(entry.displayName));
    HRESULT bound = S_OK;
    EXPECT_FALSE(BindEntry(entry.moniker.Get(), &bound));
    EXPECT_EQ(bound, MK_E_UNAVAILABLE);
  }
  Variant value;
  const HRESULT called = Call(book.Get(), L"FullName", value).result;
  EXPECT_TRUE(FAILED(called)) << std::hex << called;
  EXPECT_EQ(GetText(BindFile(L"C:\\Data\\Stays.docx").Get(), L"Name"), L"Stays.docx");
}

// Two instances can register one name: each numbers its new workbooks from
// Book1, and a read-only copy of an open file has the file's full name. The
// table lists both entries; which one GetObject gives, whatever the start order:
TEST(FakeOfficeRotE2E, ADuplicatedNameIsListedTwiceAndBindsToTheEarlierRegistration) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  for (const bool secondFirst : {false, true}) {
    SCOPED_TRACE(secondFirst ? "instance 2 started first" : "instance 1 started first");
    FakeOffice first(L"Excel", "[Excel]\nworkbook Book1\n  Saved = true\n");
    FakeOffice second(L"Excel", "[Excel]\nworkbook Book1\n  Saved = false\n", 2);
    FakeOffice& earlier = secondFirst ? second : first;
    FakeOffice& later = secondFirst ? first : second;
    const int earlierSaved = secondFirst ? 0 : 1;  // tells the instances apart
    ASSERT_TRUE(earlier.Start());
    ASSERT_TRUE(later.Start());

    EXPECT_EQ(RunningFileNames(), (std::vector<std::wstring>{L"Book1", L"Book1"}));
    EXPECT_NE(later.Log().find("Book1 was in the table already"), std::string::npos);  // MK_S_MONIKERALREADYREGISTERED
    EXPECT_EQ(earlier.Log().find("in the table already"), std::string::npos);
    for (const RunningEntry& entry : RunningEntries()) {
      if (entry.kind != MKSYS_FILEMONIKER) continue;
      const ComPtr<IUnknown> object = BindEntry(entry.moniker.Get());
      ComPtr<IDispatch> book;
      ASSERT_TRUE(object && SUCCEEDED(object.As(&book)));
      EXPECT_EQ(GetBool(book.Get(), L"Saved"), earlierSaved);  // either entry: the monikers compare equal
    }
    EXPECT_EQ(GetBool(BindFile(L"Book1").Get(), L"Saved"), earlierSaved);

    // Once that one ends, the name binds to the other.
    earlier.Kill();
    EXPECT_EQ(RunningFileNames(), std::vector<std::wstring>{L"Book1"});
    EXPECT_EQ(GetBool(BindFile(L"Book1").Get(), L"Saved"), 1 - earlierSaved);
  }
}

struct Kind {
  const wchar_t* application;
  const char* section;
  const char* keyword;  // of a document in its scenario
  const wchar_t* collection;
  const char* element;  // its interface name in the counts
  const wchar_t* title;
};
const Kind kKinds[] = {
    {L"Excel", "[Excel]", "workbook", L"Workbooks", "Workbook", L"Microsoft Excel"},
    {L"Word", "[Word]", "document", L"Documents", "Document", L"Microsoft Word"},
    {L"PowerPoint", "[PowerPoint]", "presentation", L"Presentations", "Presentation", L"Microsoft PowerPoint"}};

std::string Scenario(const Kind& kind, std::initializer_list<const char*> fullNames) {
  std::string text = kind.section;
  text += '\n';
  for (const char* fullName : fullNames) ((text += kind.keyword) += ' ') += std::string(fullName) + '\n';
  return text;
}

// What a client that finds every instance does: each entry, bound, leads to
// its application; the applications are told apart by COM identity; each is
// walked once.
TEST(FakeOfficeRotE2E, TwoInstancesAreTwoApplicationsEachReachedFromItsOwnEntries) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(Narrow(kind.application));
    FakeOffice first(kind.application, Scenario(kind, {"C:\\One\\a.x", "New1"}));
    FakeOffice second(kind.application, Scenario(kind, {"C:\\Two\\b.x", "C:\\Two\\c d.x"}), 2);
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(second.Start());
    const ComPtr<IDispatch> active = Attach((std::wstring(kind.application) + L".Application").c_str());
    ASSERT_TRUE(active);
    EXPECT_EQ(GetLong(GetDispatch(active.Get(), kind.collection).Get(), L"Count"), 2);  // the first instance

    struct Found {
      ComPtr<IDispatch> application;
      std::vector<std::wstring> entries;
      std::vector<ComPtr<IDispatch>> documents;
    };
    std::vector<Found> found;
    first.ResetCounts();
    second.ResetCounts();
    for (const RunningEntry& entry : RunningEntries()) {
      if (entry.kind != MKSYS_FILEMONIKER) continue;
      ComPtr<IDispatch> document;
      ASSERT_EQ(BindEntry(entry.moniker.Get()).As(&document), S_OK);
      const ComPtr<IDispatch> application = GetDispatch(document.Get(), L"Application");
      ASSERT_TRUE(application);
      auto known = std::find_if(found.begin(), found.end(),
                                [&](const Found& f) { return Identity(f.application.Get()) == Identity(application.Get()); });
      if (known == found.end()) known = found.insert(found.end(), Found{application, {}, {}});
      known->entries.push_back(entry.displayName);
      known->documents.push_back(document);
    }
    ASSERT_EQ(found.size(), 2u);
    const auto isActive = [&](const Found& f) { return Identity(f.application.Get()) == Identity(active.Get()); };
    ASSERT_EQ(std::count_if(found.begin(), found.end(), isActive), 1);
    for (const Found& application : found) {
      EXPECT_EQ(GetText(application.application.Get(), L"Name"), kind.title);
      const ComPtr<IDispatch> collection = GetDispatch(application.application.Get(), kind.collection);
      const long count = GetLong(collection.Get(), L"Count");
      ASSERT_EQ(count, 2);
      std::vector<std::wstring> walked;
      for (long i = 1; i <= count; ++i) {
        const Argument index(i);
        const ComPtr<IDispatch> item = GetDispatch(collection.Get(), L"Item", {&index});
        walked.push_back(GetText(item.Get(), L"FullName"));
        const auto listed = std::find(application.entries.begin(), application.entries.end(), walked.back());
        ASSERT_NE(listed, application.entries.end());
        EXPECT_EQ(Identity(item.Get()), Identity(application.documents[listed - application.entries.begin()].Get()));
      }
      EXPECT_EQ(Sorted(walked), Sorted(application.entries));
      const std::vector<std::wstring> own =
          isActive(application) ? std::vector<std::wstring>{L"C:\\One\\a.x", L"New1"}
                                : std::vector<std::wstring>{L"C:\\Two\\b.x", L"C:\\Two\\c d.x"};
      EXPECT_EQ(Sorted(walked), own);
    }
    // Each instance counted only the calls made to it.
    const std::string element = kind.element;
    for (FakeOffice* instance : {&first, &second}) {
      const auto counts = instance->Counts().members;
      EXPECT_EQ(counts.at(element + ".Application").invokes, 2);
      EXPECT_EQ(counts.at("Application.Name").invokes, 1);
      EXPECT_EQ(counts.at(element + ".FullName").invokes, 2);
    }

    // With the first gone there is no active object; the second is found
    // only through its entries.
    first.Kill();
    HRESULT attached = S_OK;
    EXPECT_FALSE(Attach((std::wstring(kind.application) + L".Application").c_str(), &attached));
    EXPECT_EQ(Sorted(RunningFileNames()), (std::vector<std::wstring>{L"C:\\Two\\b.x", L"C:\\Two\\c d.x"}));
    EXPECT_EQ(GetText(GetDispatch(BindFile(L"C:\\Two\\b.x").Get(), L"Application").Get(), L"Name"), kind.title);
  }
}

// A call into a hung server, made on a thread of its own.
struct PendingCall {
  valmora::UniqueKernelHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<HRESULT> result{S_OK};
};

std::shared_ptr<PendingCall> OnItsOwnThread(std::function<HRESULT()> call) {
  auto pending = std::make_shared<PendingCall>();
  std::thread([pending, call = std::move(call)] {
    const ComApartment own(COINIT_APARTMENTTHREADED);
    pending->result = call();
    ::SetEvent(pending->done.get());
  }).detach();  // abandoned if the server never answers, as Valmora abandons a scan
  return pending;
}

TEST(FakeOfficeRotE2E, BindingAHungServersEntryWaitsUntilTheServerIsKilled) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice excel(L"Excel", "[Excel]\nworkbook C:\\Data\\Hangs.xlsx\n  Path hangs\n");
  ASSERT_TRUE(excel.Start());
  const auto hung = OnItsOwnThread([] {
    Variant path;
    const ComPtr<IDispatch> book = BindFile(L"C:\\Data\\Hangs.xlsx");
    return book ? Call(book.Get(), L"Path", path).result : E_POINTER;
  });
  ASSERT_EQ(::WaitForSingleObject(hung->done.get(), 1000), static_cast<DWORD>(WAIT_TIMEOUT));

  // Listing does not call into the server; binding does, and waits.
  EXPECT_EQ(RunningFileNames(), std::vector<std::wstring>{L"C:\\Data\\Hangs.xlsx"});
  const auto binding = OnItsOwnThread([] {
    HRESULT bound = E_FAIL;
    BindFile(L"C:\\Data\\Hangs.xlsx", &bound);
    return bound;
  });
  EXPECT_EQ(::WaitForSingleObject(binding->done.get(), 1000), static_cast<DWORD>(WAIT_TIMEOUT));
  excel.Kill();
  ASSERT_EQ(::WaitForSingleObject(binding->done.get(), 20000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(binding->result.load(), HRESULT_FROM_WIN32(RPC_S_CALL_FAILED));
  EXPECT_EQ(::WaitForSingleObject(hung->done.get(), 20000), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(FakeOfficeRotE2E, AServerStartedByComRegistersWeaklyAndRevokesWhenItEnds) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  FakeOffice excel(L"Excel", "[Excel]\nworkbook C:\\Data\\Created.xlsx\n");
  {
    CLSID classId{};
    ASSERT_EQ(::CLSIDFromProgID(L"Excel.Application", &classId), S_OK);
    ComPtr<IDispatch> created;
    ASSERT_EQ(::CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(created.GetAddressOf())), S_OK);
    ASSERT_NE(excel.WaitForServer(10s), 0u);
    EXPECT_EQ(RunningFileNames(), std::vector<std::wstring>{L"C:\\Data\\Created.xlsx"});
    EXPECT_EQ(GetText(BindFile(L"C:\\Data\\Created.xlsx").Get(), L"Name"), L"Created.xlsx");
  }
  // The table's weak hold does not keep the server: it ends and leaves nothing behind.
  ASSERT_TRUE(excel.WaitForEnd(20s));
  EXPECT_TRUE(RunningFileNames().empty());
  EXPECT_TRUE(RunningEntries().empty());
}

}  // namespace
}  // namespace e2e
