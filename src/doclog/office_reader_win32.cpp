#include "doclog/office_reader_win32.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace valmora {

namespace {

struct ObjectModel {
  const wchar_t* progId;
  const wchar_t* collection;  // a member of the application, and its kind
  const wchar_t* element;     // the kind of its elements
};

const ObjectModel& ModelOf(OfficeApp app) {
  static const ObjectModel excel{L"Excel.Application", L"Workbooks", L"Workbook"};
  static const ObjectModel word{L"Word.Application", L"Documents", L"Document"};
  static const ObjectModel powerPoint{L"PowerPoint.Application", L"Presentations", L"Presentation"};
  static const ObjectModel outlook{L"Outlook.Application", L"Inspectors", L"Inspector"};
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

// Item(1) to Item(Count), for a collection that cannot be enumerated.
bool WalkByIndex(DispatchCaller& call, IDispatch* collection, const wchar_t* kind, HeldObjects& held,
                 const Visit& visit) {
  Variant counted;
  if (FAILED(call.Call(collection, kind, L"Count", counted.Out()))) return false;
  const std::optional<long> count = ToCount(counted.get());
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
  Variant counted;
  if (FAILED(call.Call(windows.Get(), L"DocumentWindows", L"Count", counted.Out()))) return std::nullopt;
  const std::optional<long> count = ToCount(counted.get());
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

}  // namespace

void ReadApplication(OfficeApp app, DispatchCaller& call, GatherJob& job) {
  const ObjectModel& model = ModelOf(app);
  ComPtr<IDispatch> application;
  switch (AttachTo(model.progId, &application)) {
    case Attached::NotRunning:
      job.Finish(AppState::NotRunning);
      return;
    case Attached::Failed:
      job.Finish(AppState::GaveUp);
      return;
    case Attached::Yes:
      break;
  }
  HeldObjects held;
  const ComPtr<IDispatch> collection = call.GetDispatch(application.Get(), L"Application", model.collection);
  // Without its collection nothing is known of what is open: not "nothing open".
  const bool complete = collection && Walk(call, collection.Get(), model.collection, held, [&](IDispatch* element) {
    if (app == OfficeApp::Outlook) {
      OutlookItem item = ReadShownItem(call, element, model.element, held);
      if (!call.Stopped()) job.AddItem(std::move(item));
    } else {
      OfficeDocument document = ReadDocument(call, element, app, model.element, held);
      if (!call.Stopped()) job.AddDocument(std::move(document));
    }
  });
  // Handed over before any object is released: a release is a call too.
  job.Finish(complete ? AppState::Read : AppState::GaveUp);
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
