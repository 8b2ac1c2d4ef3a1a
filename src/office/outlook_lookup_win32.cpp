#include "office/outlook_lookup_win32.h"

#include "doclog/office_apps.h"
#include "office/object_model_win32.h"

namespace valmora {

namespace {

// What Outlook's own store says of an id it has no item for.
constexpr SCODE kMapiNotFound = static_cast<SCODE>(0x8004010F);
constexpr SCODE kMapiInvalidEntryId = static_cast<SCODE>(0x80040107);

}  // namespace

void LookUpOutlookItem(const std::wstring& entryId, DispatchCaller& call, LookupJob& job) {
  // Only GetItemFromID saying so is "not found": an Outlook that cannot be
  // reached, started or asked (busy, cancelled) gave no answer.
  OutlookLookup lookup{LookupAnswer::GaveUp, L""};
  const wchar_t* const progId = Traits(OfficeApp::Outlook).progId;
  ComPtr<IDispatch> outlook;
  // One that cannot be attached (not running, or its registration outlived
  // it) is started: COM gives the running one where there is one.
  if (AttachTo(progId, &outlook) != Attached::Yes) outlook = Create(progId);
  const Bstr mapi(L"MAPI"), id(entryId);
  if (outlook && mapi.Allocated() && id.Allocated()) {
    const VARIANT mapiArgument = TextArgument(mapi);
    const ComPtr<IDispatch> names =
        call.GetDispatch(outlook.Get(), L"Application", L"GetNamespace", &mapiArgument, DISPATCH_METHOD);
    if (names) {
      Variant ignored;  // a failed logon shows in the lookup that follows
      call.Call(names.Get(), L"NameSpace", L"Logon", ignored.Out(), nullptr, DISPATCH_METHOD);
      const VARIANT idArgument = TextArgument(id);
      Variant found;
      const HRESULT asked =
          call.Call(names.Get(), L"NameSpace", L"GetItemFromID", found.Out(), &idArgument, DISPATCH_METHOD);
      const ComPtr<IDispatch> item = SUCCEEDED(asked) ? ToDispatch(found.get()) : nullptr;
      if (item) {
        lookup.answer = LookupAnswer::Found;
        const ComPtr<IDispatch> folder = call.GetDispatch(item.Get(), L"Item", L"Parent");
        if (folder) lookup.folderName = call.GetText(folder.Get(), L"Folder", L"Name").value_or(L"");
      } else if (asked == DISP_E_EXCEPTION && (call.LastExceptionCode() == kMapiNotFound ||
                                               call.LastExceptionCode() == kMapiInvalidEntryId)) {
        lookup.answer = LookupAnswer::NotFound;
      }
    }
  }
  job.Finish([&](OutlookLookup& result) { result = lookup; });
}

}  // namespace valmora
