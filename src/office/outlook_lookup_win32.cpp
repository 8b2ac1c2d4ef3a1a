#include "office/outlook_lookup_win32.h"

#include "doclog/office_apps.h"
#include "office/object_model_win32.h"

namespace valmora {

void LookUpOutlookItem(const std::wstring& entryId, DispatchCaller& call, LookupJob& job) {
  OutlookLookup lookup;
  const wchar_t* const progId = Traits(OfficeApp::Outlook).progId;
  ComPtr<IDispatch> outlook;
  if (AttachTo(progId, &outlook) == Attached::NotRunning) outlook = Create(progId);
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
  job.Finish([&](OutlookLookup& result) { result = lookup; });
}

}  // namespace valmora
