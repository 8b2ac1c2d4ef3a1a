#include "office/application_reader_win32.h"

#include <objbase.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "library/text.h"
#include "office/object_model_win32.h"
#include "office/running_documents_win32.h"

namespace valmora {
namespace {

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

OfficeDocument ReadDocument(DispatchCaller& call, IDispatch* document, const OfficeAppTraits& app,
                            HeldObjects& held) {
  OfficeDocument read;
  if (app.app == OfficeApp::PowerPoint) {
    read.firstWindowVisible = HasWindow(call, document, held);
  } else {
    const VARIANT first = Index(1);
    const ComPtr<IDispatch> window = call.GetDispatch(document, app.element, L"Windows", &first, kGetIndexed);
    held.push_back(window);
    if (window) read.firstWindowVisible = call.GetBool(window.Get(), L"Window", L"Visible");
  }
  read.path = call.GetText(document, app.element, L"Path");
  read.saved = call.GetBool(document, app.element, L"Saved");
  read.name = call.GetText(document, app.element, L"Name");
  read.fullName = call.GetText(document, app.element, L"FullName");
  return read;
}

bool Whole(const OfficeDocument& d) { return d.firstWindowVisible && d.path && d.saved && d.name && d.fullName; }

OutlookItem ReadShownItem(DispatchCaller& call, IDispatch* inspector, const OfficeAppTraits& app,
                          HeldObjects& held) {
  OutlookItem read;
  const ComPtr<IDispatch> item = call.GetDispatch(inspector, app.element, L"CurrentItem");
  held.push_back(item);
  if (!item) return read;
  read.entryId = call.GetText(item.Get(), L"Item", L"EntryID");
  read.saved = call.GetBool(item.Get(), L"Item", L"Saved");
  read.subject = call.GetText(item.Get(), L"Item", L"Subject");
  read.creationTime = call.GetTime(item.Get(), L"Item", L"CreationTime");
  return read;
}

bool Whole(const OutlookItem& i) { return i.entryId && i.saved && i.subject && i.creationTime; }

// Its main window is there while it runs, whether COM can reach it or not.
bool HasMainWindow(const OfficeAppTraits& app) { return ::FindWindowW(app.windowClass, nullptr) != nullptr; }

// The pass over every instance of one application. An instance is known by
// its COM identity (one per process), a document of the table by its name.
class Pass {
 public:
  Pass(const OfficeAppTraits& app, DispatchCaller& call, GatherJob& job) : app_(app), call_(call), job_(job) {}

  // An instance not met before: its documents, unless nobody sees it.
  void ReadInstance(IDispatch* application) {
    if (Known(application)) return;
    ++instances_;
    if (app_.hasVisible) {
      const std::optional<bool> visible = call_.GetBool(application, L"Application", L"Visible");
      if (!visible) complete_ = false;  // read as seen: nothing is lost
      if (visible == false) {           // started hidden by a program: none of it is the user's
        hidden_.push_back(Identity(application));
        return;
      }
    }
    walked_.push_back(Identity(application));
    const ComPtr<IDispatch> collection = call_.GetDispatch(application, L"Application", app_.collection);
    held_.push_back(collection);
    // Without its collection nothing is known of what is open: not "nothing open".
    if (!collection || !Walk(call_, collection.Get(), app_.collection, held_, [&](IDispatch* element) {
          ReadElement(element);
        })) {
      complete_ = false;
    }
  }

  // The other instances, through their documents in the table: only those
  // the application may own, each bound once.
  void ReadTable() {
    ComPtr<IRunningObjectTable> table;
    if (call_.Stopped() || FAILED(::GetRunningObjectTable(0, table.GetAddressOf()))) {
      complete_ = false;
      return;
    }
    const auto entries = RunningDocuments(table.Get());
    if (!entries) {
      complete_ = false;
      return;
    }
    for (const RunningDocument& entry : *entries) {
      if (call_.Stopped()) {
        complete_ = false;
        return;
      }
      if (!MayOwn(app_.app, entry.displayName)) continue;
      // One entry of each document a walk read is that document.
      const std::wstring key = ToLower(entry.displayName);
      if (!Account(key)) Bind(table.Get(), entry, key);
    }
    // Two instances may have documents of one name (each its own Book1, a
    // read-only copy), and binding either name reaches the same instance:
    // a second one none of the walks accounts for cannot be read.
    for (const auto& [key, count] : sameName_) {
      for (int i = 0; i < count; ++i) {
        if (!Account(key)) complete_ = false;
      }
    }
  }

  AppState Finish() {
    if (call_.Stopped()) complete_ = false;
    if (!complete_) return AppState::GaveUp;
    if (instances_ > 0) return AppState::Read;
    return HasMainWindow(app_) ? AppState::Unreachable : AppState::NotRunning;
  }

 private:
  void ReadElement(IDispatch* element) {
    if (!element) {
      complete_ = false;
      return;
    }
    if (app_.app == OfficeApp::Outlook) {
      OutlookItem item = ReadShownItem(call_, element, app_, held_);
      if (!Whole(item)) complete_ = false;
      if (!call_.Stopped()) job_.Update([&](AppSnapshot& s) { s.items.push_back(std::move(item)); });
      return;
    }
    OfficeDocument document = ReadDocument(call_, element, app_, held_);
    if (!Whole(document)) complete_ = false;
    if (document.fullName) {
      const std::wstring key = ToLower(*document.fullName);
      ++unbound_[key];
      read_.insert(key);
    }
    if (!call_.Stopped()) job_.Update([&](AppSnapshot& s) { s.documents.push_back(std::move(document)); });
  }

  // False when no walk read a document of that name that is not matched yet.
  bool Account(const std::wstring& key) {
    const auto read = unbound_.find(key);
    if (read == unbound_.end() || read->second == 0) return false;
    --read->second;
    return true;
  }

  // Binding is a call into whichever program registered the entry.
  void Bind(IRunningObjectTable* table, const RunningDocument& entry, const std::wstring& key) {
    ComPtr<IUnknown> object;
    const HRESULT bound = table->GetObject(entry.moniker.Get(), object.GetAddressOf());
    if (bound == MK_E_UNAVAILABLE) return;  // closed since it was listed
    ComPtr<IDispatch> document;
    if (FAILED(bound) || !object) {
      complete_ = false;
      return;
    }
    const HRESULT asked = object.As(&document);
    if (asked == E_NOINTERFACE) return;  // no automation object: nobody's workbook
    if (FAILED(asked) || !document) {
      complete_ = false;
      return;
    }
    held_.push_back(document);
    // Each kind of document numbers Application differently: asked by name on each.
    const ComPtr<IDispatch> application = call_.GetDispatch(document.Get(), nullptr, L"Application");
    if (!application) {
      complete_ = false;
      return;
    }
    held_.push_back(application);
    if (Among(walked_, application.Get())) {
      // Another instance's document of a name the walks read; one of a name
      // none read was opened since, or is named otherwise in the table.
      if (read_.contains(key)) ++sameName_[key];
      return;
    }
    if (Known(application.Get())) return;  // a hidden instance's, or another program's
    const std::optional<std::wstring> name = call_.GetText(application.Get(), nullptr, L"Name");
    if (!name) {
      complete_ = false;
      return;
    }
    if (*name == app_.applicationName) {
      ReadInstance(application.Get());
      Account(key);
    } else {
      foreign_.push_back(Identity(application.Get()));  // its other documents cost no question
    }
  }

  static ComPtr<IUnknown> Identity(IDispatch* object) {
    ComPtr<IUnknown> identity;
    object->QueryInterface(IID_PPV_ARGS(identity.GetAddressOf()));
    return identity;
  }
  static bool Among(const std::vector<ComPtr<IUnknown>>& known, IDispatch* object) {
    const ComPtr<IUnknown> identity = Identity(object);
    return std::any_of(known.begin(), known.end(), [&](const ComPtr<IUnknown>& k) { return k.Get() == identity.Get(); });
  }
  bool Known(IDispatch* application) const {
    return Among(walked_, application) || Among(hidden_, application) || Among(foreign_, application);
  }

  const OfficeAppTraits& app_;
  DispatchCaller& call_;
  GatherJob& job_;
  // Held, so that no pointer compared is reused, and released only after the
  // snapshot is handed over.
  HeldObjects held_;
  // Instances by COM identity: read, hidden from the user; other programs.
  std::vector<ComPtr<IUnknown>> walked_, hidden_, foreign_;
  int instances_ = 0;
  std::set<std::wstring> read_;           // full names the walks read, lower case
  std::map<std::wstring, int> unbound_;   // of those, how many are not yet met in the table
  std::map<std::wstring, int> sameName_;  // entries that led back to an instance read already
  bool complete_ = true;
};

}  // namespace

void ReadApplication(const OfficeAppTraits& app, DispatchCaller& call, GatherJob& job) {
  Pass pass(app, call, job);
  ComPtr<IDispatch> first;
  const Attached attached = AttachTo(app.progId, &first);
  if (attached == Attached::Yes) pass.ReadInstance(first.Get());
  // Outlook runs once per session; the others may run several times, and
  // only the first answers to its class name.
  if (app.app != OfficeApp::Outlook) pass.ReadTable();
  AppState state = pass.Finish();
  if (attached == Attached::Failed) state = AppState::GaveUp;
  // Handed over before any object is released: a release is a call too.
  job.Finish([state](AppSnapshot& s) { s.state = state; });
}

}  // namespace valmora
