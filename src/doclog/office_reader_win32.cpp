#include "doclog/office_reader_win32.h"

#include <objbase.h>

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

#include "doclog/running_documents_win32.h"

namespace valmora {

namespace {

struct ObjectModel {
  const wchar_t* name;  // as the application's Name has it: "Microsoft Excel"
  const wchar_t* progId;
  const wchar_t* collection;  // a member of the application, and its kind
  const wchar_t* element;     // the kind of its elements
};

const ObjectModel& ModelOf(OfficeApp app) {
  static const ObjectModel excel{L"Excel", L"Excel.Application", L"Workbooks", L"Workbook"};
  static const ObjectModel word{L"Word", L"Word.Application", L"Documents", L"Document"};
  static const ObjectModel powerPoint{L"PowerPoint", L"PowerPoint.Application", L"Presentations", L"Presentation"};
  static const ObjectModel outlook{L"Outlook", L"Outlook.Application", L"Inspectors", L"Inspector"};
  switch (app) {
    case OfficeApp::Excel: return excel;
    case OfficeApp::Word: return word;
    case OfficeApp::PowerPoint: return powerPoint;
    case OfficeApp::Outlook: break;
  }
  return outlook;
}

VARIANT Index(long value) {
  VARIANT index;
  ::VariantInit(&index);
  index.vt = VT_I4;
  index.lVal = value;
  return index;
}

// Borrows the text: the Bstr must outlive the call.
VARIANT TextArgument(const Bstr& text) {
  VARIANT argument;
  ::VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = text.get();
  return argument;
}

// Item(i) and Windows(i) are properties in some object models and methods
// in others; either call answers both.
constexpr WORD kGetIndexed = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

enum class Attached { Yes, NotRunning, Failed };

Attached AttachTo(const wchar_t* progId, ComPtr<IDispatch>* application) {
  CLSID classId{};
  ComPtr<IUnknown> running;
  if (FAILED(::CLSIDFromProgID(progId, &classId)) || FAILED(::GetActiveObject(classId, nullptr, running.GetAddressOf())) ||
      !running) {
    return Attached::NotRunning;
  }
  return SUCCEEDED(running.As(application)) && *application ? Attached::Yes : Attached::Failed;
}

ComPtr<IDispatch> Create(const wchar_t* progId) {
  CLSID classId{};
  ComPtr<IDispatch> application;
  if (SUCCEEDED(::CLSIDFromProgID(progId, &classId)))
    ::CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(application.GetAddressOf()));
  return application;
}

// Every object a walk met, released only after the snapshot is handed over:
// each release is a round trip the waiting caller need not pay for.
using HeldObjects = std::vector<ComPtr<IDispatch>>;
using Visit = std::function<void(IDispatch* element)>;

// Elements fetched per round trip when enumerating.
constexpr ULONG kBatch = 64;

// Visits the enumerator's elements in order, an element that is no object as
// nullptr; false when the walk was cut short.
bool WalkEnumerator(DispatchCaller& call, IEnumVARIANT* walker, HeldObjects& held, const Visit& visit) {
  for (;;) {
    VARIANT batch[kBatch];
    for (VARIANT& value : batch) ::VariantInit(&value);
    ULONG fetched = 0;
    const HRESULT got = call.Next(walker, kBatch, batch, &fetched);
    fetched = SUCCEEDED(got) ? std::min(fetched, kBatch) : 0;
    const size_t first = held.size();
    for (ULONG i = 0; i < fetched; ++i) {
      held.push_back(ToDispatch(batch[i]));
      ::VariantClear(&batch[i]);
    }
    const size_t end = held.size();  // visits add the objects they meet
    if (FAILED(got) || call.Stopped()) return false;
    for (size_t i = first; i < end; ++i) {
      visit(held[i].Get());
      if (call.Stopped()) return false;
    }
    if (got == S_FALSE || fetched == 0) return true;
  }
}

std::optional<long> ReadCount(DispatchCaller& call, IDispatch* collection, const wchar_t* kind) {
  Variant counted;
  if (FAILED(call.Call(collection, kind, L"Count", counted.Out()))) return std::nullopt;
  return ToCount(counted.get());
}

// Item(1) to Item(Count), for a collection that cannot be enumerated.
bool WalkByIndex(DispatchCaller& call, IDispatch* collection, const wchar_t* kind, HeldObjects& held,
                 const Visit& visit) {
  const std::optional<long> count = ReadCount(call, collection, kind);
  if (!count) return false;
  for (long i = 1; i <= *count; ++i) {
    const VARIANT index = Index(i);
    Variant element;
    const HRESULT got = call.Call(collection, kind, L"Item", element.Out(), &index, kGetIndexed);
    if (call.Stopped()) return false;
    if (got == DISP_E_BADINDEX) break;  // closed since it was counted
    held.push_back(SUCCEEDED(got) ? ToDispatch(element.get()) : nullptr);
    visit(held.back().Get());
    if (call.Stopped()) return false;
  }
  return true;
}

bool Walk(DispatchCaller& call, IDispatch* collection, const wchar_t* kind, HeldObjects& held, const Visit& visit) {
  // One round trip brings a whole batch of elements, and a consistent one.
  const ComPtr<IEnumVARIANT> walker = call.Enumerate(collection);
  if (walker) return WalkEnumerator(call, walker.Get(), held, visit);
  return !call.Stopped() && WalkByIndex(call, collection, kind, held, visit);
}

// A presentation's windows have no Visible: one opened without a window
// (by a program, for instance) has none at all.
std::optional<bool> HasWindow(DispatchCaller& call, IDispatch* presentation, HeldObjects& held) {
  const ComPtr<IDispatch> windows = call.GetDispatch(presentation, L"Presentation", L"Windows");
  held.push_back(windows);
  if (!windows) return std::nullopt;
  const std::optional<long> count = ReadCount(call, windows.Get(), L"DocumentWindows");
  if (!count) return std::nullopt;
  return *count > 0;
}

OfficeDocument ReadDocument(DispatchCaller& call, IDispatch* document, OfficeApp app, const wchar_t* kind,
                            HeldObjects& held) {
  OfficeDocument read;
  if (app == OfficeApp::PowerPoint) {
    read.firstWindowVisible = HasWindow(call, document, held);
  } else {
    const VARIANT first = Index(1);
    const ComPtr<IDispatch> window = call.GetDispatch(document, kind, L"Windows", &first, kGetIndexed);
    held.push_back(window);
    if (window) read.firstWindowVisible = call.GetBool(window.Get(), L"Window", L"Visible");
  }
  read.path = call.GetText(document, kind, L"Path");
  read.saved = call.GetBool(document, kind, L"Saved");
  read.name = call.GetText(document, kind, L"Name");
  read.fullName = call.GetText(document, kind, L"FullName");
  return read;
}

OutlookItem ReadShownItem(DispatchCaller& call, IDispatch* inspector, const wchar_t* kind, HeldObjects& held) {
  OutlookItem read;
  const ComPtr<IDispatch> item = call.GetDispatch(inspector, kind, L"CurrentItem");
  held.push_back(item);
  if (!item) return read;
  read.entryId = call.GetText(item.Get(), L"Item", L"EntryID");
  read.saved = call.GetBool(item.Get(), L"Item", L"Saved");
  read.subject = call.GetText(item.Get(), L"Item", L"Subject");
  read.creationTime = call.GetTime(item.Get(), L"Item", L"CreationTime");
  return read;
}

// Every instance of one application, each read once and in the order met:
// the one attached by class name, then those the Running Object Table shows
// through their documents. An application is known by its COM identity,
// which is one per process; a document by the full name its walk read.
class Instances {
 public:
  Instances(OfficeApp app, const ObjectModel& model, DispatchCaller& call, GatherJob& job, HeldObjects& held,
            const WalkedNames& others, const BatchNames* batch)
      : app_(app), model_(model), call_(call), job_(job), held_(held), others_(others), batch_(batch) {}

  void Read(IDispatch* application) {
    if (!Remember(application)) return;
    any_ = true;
    const ComPtr<IDispatch> collection = call_.GetDispatch(application, L"Application", model_.collection);
    held_.push_back(collection);
    // Without its collection nothing is known of what is open: not "nothing open".
    const bool complete = collection && Walk(call_, collection.Get(), model_.collection, held_, [&](IDispatch* element) {
      if (app_ == OfficeApp::Outlook) {
        OutlookItem item = ReadShownItem(call_, element, model_.element, held_);
        if (!call_.Stopped()) job_.AddItem(std::move(item));
      } else {
        OfficeDocument document = ReadDocument(call_, element, app_, model_.element, held_);
        if (document.fullName) walked_.insert(*document.fullName);
        if (!call_.Stopped()) job_.AddDocument(std::move(document));
      }
    });
    complete_ = complete_ && complete;
  }

  // Binding a document is a call into its application: one of an
  // application that may hang is left unread, and this gather incomplete.
  void ReadTheOthers(bool mayBind) {
    ComPtr<IRunningObjectTable> table;
    if (call_.Stopped() || FAILED(::GetRunningObjectTable(0, table.GetAddressOf()))) return;
    for (const RunningDocument& running : RunningDocuments(table.Get())) {
      if (call_.Stopped()) {
        complete_ = false;
        return;
      }
      const std::wstring& name = running.displayName;
      if (walked_.contains(name) || (batch_ && batch_->Has(name)) || others_.AnotherHas(app_, name)) continue;
      if (!mayBind) {
        complete_ = false;
        continue;
      }
      ComPtr<IUnknown> object;
      ComPtr<IDispatch> document;
      // Gone since it was listed, or not an automation object: nothing of ours.
      if (FAILED(table->GetObject(running.moniker.Get(), object.GetAddressOf())) || !object ||
          FAILED(object.As(&document))) {
        continue;
      }
      held_.push_back(document);
      // Each kind of document numbers Application differently: asked by name on each.
      const ComPtr<IDispatch> application = call_.GetDispatch(document.Get(), nullptr, L"Application");
      if (!application || Known(application.Get())) continue;
      const std::optional<std::wstring> kind = call_.GetText(application.Get(), nullptr, L"Name");
      if (kind && kind->find(model_.name) != std::wstring::npos) {
        Read(application.Get());
      } else {
        Remember(application.Get());  // another application's, or unknowable: its other documents cost nothing
      }
    }
  }

  bool Any() const { return any_; }
  bool Complete() const { return complete_; }
  const std::set<std::wstring>& Walked() const { return walked_; }

 private:
  static ComPtr<IUnknown> Identity(IDispatch* object) {
    ComPtr<IUnknown> identity;
    object->QueryInterface(IID_PPV_ARGS(identity.GetAddressOf()));
    return identity;
  }
  bool Known(IDispatch* application) const {
    const ComPtr<IUnknown> identity = Identity(application);
    return std::any_of(applications_.begin(), applications_.end(),
                       [&](const ComPtr<IUnknown>& known) { return known.Get() == identity.Get(); });
  }
  // False when it was known already. Held, so that no pointer compared is reused.
  bool Remember(IDispatch* application) {
    if (Known(application)) return false;
    applications_.push_back(Identity(application));
    return true;
  }

  OfficeApp app_;
  const ObjectModel& model_;
  DispatchCaller& call_;
  GatherJob& job_;
  HeldObjects& held_;
  const WalkedNames& others_;
  const BatchNames* batch_;
  std::vector<ComPtr<IUnknown>> applications_;
  std::set<std::wstring> walked_;
  bool any_ = false;
  bool complete_ = true;
};

}  // namespace

void ReadApplication(OfficeApp app, DispatchCaller& call, GatherJob& job, WalkedNames& walked, BatchNames* batch,
                     bool othersAnswer) {
  const ObjectModel& model = ModelOf(app);
  ComPtr<IDispatch> first;
  const Attached attached = AttachTo(model.progId, &first);
  HeldObjects held;
  Instances instances(app, model, call, job, held, walked, batch);
  if (attached == Attached::Yes) instances.Read(first.Get());
  if (batch) batch->Publish(instances.Walked());
  if (attached == Attached::Failed) {
    job.Finish(AppState::GaveUp);
    return;
  }
  // Outlook runs once per session; the other applications may run several
  // times, and only the first answers to its class name.
  if (app != OfficeApp::Outlook) {
    const bool allAnswered = !batch || batch->WaitForOthers(job.StopEvent());
    instances.ReadTheOthers(othersAnswer && allAnswered);
  }
  // Handed over before any object is released: a release is a call too.
  job.Finish(!instances.Complete() ? AppState::GaveUp : instances.Any() ? AppState::Read : AppState::NotRunning);
  if (instances.Complete()) walked.Publish(app, instances.Walked());
}

void LookUpOutlookItem(const std::wstring& entryId, DispatchCaller& call, GatherJob& job) {
  OutlookLookup lookup;
  ComPtr<IDispatch> outlook;
  if (AttachTo(L"Outlook.Application", &outlook) == Attached::NotRunning) outlook = Create(L"Outlook.Application");
  const Bstr mapi(L"MAPI"), id(entryId);
  if (outlook && mapi.Allocated() && id.Allocated()) {
    const VARIANT mapiArgument = TextArgument(mapi);
    const ComPtr<IDispatch> names =
        call.GetDispatch(outlook.Get(), L"Application", L"GetNamespace", &mapiArgument, DISPATCH_METHOD);
    if (names) {
      Variant ignored;  // a failed logon shows in the lookup that follows
      call.Call(names.Get(), L"NameSpace", L"Logon", ignored.Out(), nullptr, DISPATCH_METHOD);
      const VARIANT idArgument = TextArgument(id);
      const ComPtr<IDispatch> item =
          call.GetDispatch(names.Get(), L"NameSpace", L"GetItemFromID", &idArgument, DISPATCH_METHOD);
      if (item) {
        lookup.answer = LookupAnswer::Found;
        const ComPtr<IDispatch> folder = call.GetDispatch(item.Get(), L"Item", L"Parent");
        if (folder) lookup.folderName = call.GetText(folder.Get(), L"Folder", L"Name").value_or(L"");
      }
    }
  }
  job.FinishLookup(lookup);
}

}  // namespace valmora
