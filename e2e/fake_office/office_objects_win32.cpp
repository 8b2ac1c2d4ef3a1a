#include "office_objects_win32.h"

#include "application_kinds.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace fake_office {
namespace {

template <typename T, typename... Args>
ComPtr<T> Make(Args&&... args) {
  ComPtr<T> object;
  object.Attach(new T(std::forward<Args>(args)...));
  return object;
}

// A snapshot of a collection, walked with IEnumVARIANT.
class Enumerator : public IEnumVARIANT, public ConnectionCounter {
 public:
  Enumerator(ServerState& state, std::vector<ComPtr<IDispatch>> items, size_t position)
      : ConnectionCounter(state), state_(state), items_(std::move(items)), position_(position) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IEnumVARIANT) {
      *object = static_cast<IEnumVARIANT*>(this);
    } else if (iid == IID_IExternalConnection) {
      *object = static_cast<IExternalConnection*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  STDMETHODIMP Next(ULONG wanted, VARIANT* values, ULONG* fetched) override {
    state_.counts.CountInvoke("Enum", "Next");
    if (!values) return E_POINTER;
    ULONG given = 0;
    for (; given < wanted && position_ < items_.size(); ++given, ++position_) {
      ::VariantInit(&values[given]);
      ReturnObject(items_[position_].Get(), &values[given]);
    }
    if (fetched) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    position_ = std::min(items_.size(), position_ + count);
    return position_ < items_.size() ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumVARIANT** copy) override {
    if (!copy) return E_POINTER;
    *copy = static_cast<IEnumVARIANT*>(Make<Enumerator>(state_, items_, position_).Detach());
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{1};
  ServerState& state_;
  std::vector<ComPtr<IDispatch>> items_;
  size_t position_;
};

class Collection : public DispatchObject {
 public:
  enum : DISPID { kCount = 1 };
  Collection(ServerState& state, std::string name, std::vector<ComPtr<IDispatch>> items, Faults faults)
      : DispatchObject(state, std::move(name), {{L"Count", kCount}, {L"Item", DISPID_VALUE}, {L"_NewEnum", DISPID_NEWENUM}},
                       std::move(faults)),
        items_(std::move(items)) {}

  // Item(i), 1-based; also what Workbooks(1) and Windows(1) come to.
  HRESULT ItemAt(const Arguments& arguments, VARIANT* result) const {
    if (arguments.size() != 1) return DISP_E_BADPARAMCOUNT;
    const long index = IndexArgument(arguments[0]);
    if (index < 1 || static_cast<size_t>(index) > items_.size()) return DISP_E_BADINDEX;
    return ReturnObject(items_[index - 1].Get(), result);
  }

 protected:
  HRESULT Serve(DISPID id, const Arguments& arguments, VARIANT* result) override {
    switch (id) {
      case kCount:
        return ReturnLong(static_cast<long>(items_.size()), result);
      case DISPID_VALUE:
        return ItemAt(arguments, result);
      case DISPID_NEWENUM:
        result->vt = VT_UNKNOWN;
        result->punkVal = static_cast<IEnumVARIANT*>(Make<Enumerator>(state(), items_, 0).Detach());
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  std::vector<ComPtr<IDispatch>> items_;
};

// A collection member: the collection itself, or one of its items when called with an index.
HRESULT ReturnCollection(Collection* collection, const Arguments& arguments, VARIANT* result) {
  if (arguments.size() == 0) return ReturnObject(collection, result);
  return collection->ItemAt(arguments, result);
}

// PowerPoint's flags are MsoTriState: VT_I4, -1 true, 0 false.
HRESULT ReturnFlag(bool value, bool triState, VARIANT* result) {
  return triState ? ReturnLong(value ? -1 : 0, result) : ReturnBool(value, result);
}

class Window : public DispatchObject {
 public:
  enum : DISPID { kVisible = 1 };
  // Without visible, a window with no member at all.
  Window(ServerState& state, std::optional<bool> visible, Faults faults)
      : DispatchObject(state, "Window", visible ? std::vector<Member>{{L"Visible", kVisible}} : std::vector<Member>{},
                       std::move(faults)),
        visible_(visible.value_or(false)) {}

 protected:
  HRESULT Serve(DISPID id, const Arguments&, VARIANT* result) override {
    return id == kVisible ? ReturnBool(visible_, result) : DISP_E_MEMBERNOTFOUND;
  }

 private:
  bool visible_;
};

std::vector<ComPtr<IDispatch>> WindowsOf(ServerState& state, const ApplicationKind& kind, const Document& document) {
  if (kind.windowsShow) return {Make<Window>(state, document.visible, document.faults)};
  std::vector<ComPtr<IDispatch>> windows;
  for (int i = 0; i < document.windows; ++i) windows.push_back(Make<Window>(state, std::nullopt, Faults{}));
  return windows;
}

// A workbook, a document or a presentation. application: its own application
// object, which lives as long as the server and so outlives every call made to this one.
class DocumentObject : public DispatchObject {
 public:
  enum : DISPID { kFullName = 1, kPath, kName, kSaved, kWindows, kApplication };
  DocumentObject(ServerState& state, const ApplicationKind& kind, const Document& document, IDispatch* application)
      : DispatchObject(state, kind.element,
                       {{L"FullName", kFullName},
                        {L"Path", kPath},
                        {L"Name", kName},
                        {L"Saved", kSaved},
                        {L"Windows", kWindows},
                        {L"Application", kApplication}},
                       document.faults),
        document_(document),
        triState_(kind.triState),
        application_(application),
        windows_(Make<Collection>(state, "Windows", WindowsOf(state, kind, document), Faults{})) {}

 protected:
  HRESULT Serve(DISPID id, const Arguments& arguments, VARIANT* result) override {
    switch (id) {
      case kFullName:
        return ReturnText(document_.fullName, result);
      case kPath:
        return ReturnText(document_.path, result);
      case kName:
        return ReturnText(document_.name, result);
      case kSaved:
        return ReturnFlag(document_.saved, triState_, result);
      case kWindows:
        return ReturnCollection(windows_.Get(), arguments, result);
      case kApplication:
        return ReturnObject(application_, result);
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  Document document_;
  bool triState_;
  IDispatch* application_;  // not owned: the application holds its documents
  ComPtr<Collection> windows_;
};

class Folder : public DispatchObject {
 public:
  enum : DISPID { kName = 1 };
  Folder(ServerState& state, std::string name)
      : DispatchObject(state, "Folder", {{L"Name", kName}}, Faults{}), name_(std::move(name)) {}

 protected:
  HRESULT Serve(DISPID id, const Arguments&, VARIANT* result) override {
    return id == kName ? ReturnText(name_, result) : DISP_E_MEMBERNOTFOUND;
  }

 private:
  std::string name_;
};

class MailItemObject : public DispatchObject {
 public:
  enum : DISPID { kEntryId = 1, kSubject, kSaved, kCreationTime, kParent };
  MailItemObject(ServerState& state, const MailItem& item)
      : DispatchObject(state, "MailItem",
                       {{L"EntryID", kEntryId},
                        {L"Subject", kSubject},
                        {L"Saved", kSaved},
                        {L"CreationTime", kCreationTime},
                        {L"Parent", kParent}},
                       item.faults),
        item_(item),
        folder_(Make<Folder>(state, item.folder)) {}

  const std::string& EntryId() const { return item_.entryId; }

 protected:
  HRESULT Serve(DISPID id, const Arguments&, VARIANT* result) override {
    switch (id) {
      case kEntryId:
        return ReturnText(item_.entryId, result);
      case kSubject:
        return ReturnText(item_.subject, result);
      case kSaved:
        return ReturnBool(item_.saved, result);
      case kCreationTime: {
        const DateTime& t = item_.creationTime;
        SYSTEMTIME time{static_cast<WORD>(t.year),  static_cast<WORD>(t.month),  0, static_cast<WORD>(t.day),
                        static_cast<WORD>(t.hour),  static_cast<WORD>(t.minute), static_cast<WORD>(t.second), 0};
        double date = 0;
        if (!::SystemTimeToVariantTime(&time, &date)) return E_INVALIDARG;
        result->vt = VT_DATE;
        result->date = date;
        return S_OK;
      }
      case kParent:
        return ReturnObject(folder_.Get(), result);
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  MailItem item_;
  ComPtr<Folder> folder_;
};

class Inspector : public DispatchObject {
 public:
  enum : DISPID { kCurrentItem = 1 };
  Inspector(ServerState& state, ComPtr<MailItemObject> item, Faults faults)
      : DispatchObject(state, "Inspector", {{L"CurrentItem", kCurrentItem}}, std::move(faults)), item_(std::move(item)) {}

 protected:
  HRESULT Serve(DISPID id, const Arguments&, VARIANT* result) override {
    return id == kCurrentItem ? ReturnObject(item_.Get(), result) : DISP_E_MEMBERNOTFOUND;
  }

 private:
  ComPtr<MailItemObject> item_;
};

constexpr HRESULT kMapiNotFound = static_cast<HRESULT>(0x8004010F);

class Namespace : public DispatchObject {
 public:
  enum : DISPID { kLogon = 1, kGetItemFromId };
  Namespace(ServerState& state, std::vector<ComPtr<MailItemObject>> items, Faults faults)
      : DispatchObject(state, "NameSpace", {{L"Logon", kLogon}, {L"GetItemFromID", kGetItemFromId}}, std::move(faults)),
        items_(std::move(items)) {}

 protected:
  HRESULT Serve(DISPID id, const Arguments& arguments, VARIANT* result) override {
    if (id == kLogon) return S_OK;  // with or without its optional arguments
    if (id != kGetItemFromId) return DISP_E_MEMBERNOTFOUND;
    if (arguments.size() < 1 || arguments.size() > 2) return DISP_E_BADPARAMCOUNT;
    Variant wanted;
    if (FAILED(ConvertArgument(arguments[0], VT_BSTR, wanted))) return DISP_E_TYPEMISMATCH;
    const std::string entryId = Narrow(std::wstring(wanted.get().bstrVal, ::SysStringLen(wanted.get().bstrVal)));
    for (const auto& item : items_) {
      if (!entryId.empty() && item->EntryId() == entryId) return ReturnObject(item.Get(), result);
    }
    return kMapiNotFound;
  }

 private:
  std::vector<ComPtr<MailItemObject>> items_;
};

class ApplicationObject : public DispatchObject {
 public:
  enum : DISPID { kCollection = 1, kName, kGetNamespace, kVisible };
  ApplicationObject(ServerState& state, const ApplicationKind& kind, const Application& scenario)
      : DispatchObject(state, "Application", MembersOf(kind), scenario.faults),
        title_(scenario.title),
        visible_(scenario.visible),
        triState_(kind.triState) {}

  // Set once, before the object is handed out: its elements point back to it.
  void Hold(ComPtr<Collection> collection, ComPtr<Namespace> mapi) {
    collection_ = std::move(collection);
    mapi_ = std::move(mapi);
  }

 protected:
  HRESULT Serve(DISPID id, const Arguments& arguments, VARIANT* result) override {
    if (id == kCollection) return ReturnCollection(collection_.Get(), arguments, result);
    if (id == kName) return ReturnText(title_, result);
    if (id == kVisible) return ReturnFlag(visible_, triState_, result);
    if (id != kGetNamespace || !mapi_) return DISP_E_MEMBERNOTFOUND;
    if (arguments.size() != 1) return DISP_E_BADPARAMCOUNT;
    Variant type;
    if (FAILED(ConvertArgument(arguments[0], VT_BSTR, type))) return DISP_E_TYPEMISMATCH;
    if (::_wcsicmp(type.get().bstrVal ? type.get().bstrVal : L"", L"MAPI") != 0) return E_INVALIDARG;
    return ReturnObject(mapi_.Get(), result);
  }

 private:
  static std::vector<Member> MembersOf(const ApplicationKind& kind) {
    std::vector<Member> members{{Widen(kind.collection), kCollection}, {L"Name", kName}};
    if (kind.hasVisible) members.push_back({L"Visible", kVisible});
    if (std::string(kind.name) == "Outlook") members.push_back({L"GetNamespace", kGetNamespace});
    return members;
  }

  std::string title_;  // "Microsoft Excel"
  bool visible_;
  bool triState_;
  ComPtr<Collection> collection_;
  ComPtr<Namespace> mapi_;
};

}  // namespace

ServedApplication MakeApplication(ServerState& state, const Application& scenario) {
  ServedApplication served;
  const ApplicationKind& kind = *FindApplicationKind(scenario.name);
  const auto application = Make<ApplicationObject>(state, kind, scenario);
  std::vector<ComPtr<IDispatch>> elements;
  ComPtr<Namespace> mapi;
  if (scenario.name == "Outlook") {
    std::vector<ComPtr<MailItemObject>> items;
    for (const MailItem& item : scenario.inspectors) {
      auto object = Make<MailItemObject>(state, item);
      elements.push_back(Make<Inspector>(state, object, item.faults));
      items.push_back(object);
    }
    for (const MailItem& item : scenario.storedItems) items.push_back(Make<MailItemObject>(state, item));
    mapi = Make<Namespace>(state, std::move(items), scenario.faults);
  } else {
    for (const Document& document : scenario.documents) {
      elements.push_back(Make<DocumentObject>(state, kind, document, application.Get()));
      served.documents.push_back({document.fullName, elements.back()});
    }
  }
  auto collection = Make<Collection>(state, kind.collection, std::move(elements), scenario.faults);
  application->Hold(std::move(collection), std::move(mapi));
  served.application = application;
  return served;
}

}  // namespace fake_office
