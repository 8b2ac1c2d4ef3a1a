// The growth benchmark's baseline: what a watch tick does with COM and no
// more. Once a second, one new single-threaded apartment per application
// attaches to the running Excel, Word and Outlook, reads its collection and
// lets go. Under Wine 8 this alone grows by a few hundred bytes a tick, so the
// benchmark sets Valmora's growth against it. Runs until it is ended.
#include <windows.h>

#include <utility>

#include "com_support_win32.h"
#include "library/unique_handle_win32.h"

namespace {

using fake_office::ComPtr;

struct Target {
  const wchar_t* progId;
  const wchar_t* collection;
};

const Target kTargets[] = {
    {L"Excel.Application", L"Workbooks"},
    {L"Word.Application", L"Documents"},
    {L"Outlook.Application", L"Inspectors"},
};

DWORD WINAPI AttachOnce(void* parameter) {
  const Target& target = *static_cast<const Target*>(parameter);
  const fake_office::ComApartment apartment(COINIT_APARTMENTTHREADED);
  CLSID classId;
  ComPtr<IUnknown> running;
  ComPtr<IDispatch> application;
  if (FAILED(apartment.Result()) || FAILED(::CLSIDFromProgID(target.progId, &classId)) ||
      FAILED(::GetActiveObject(classId, nullptr, running.GetAddressOf())) || FAILED(running.As(&application))) {
    return 1;
  }
  LPOLESTR name = const_cast<LPOLESTR>(target.collection);
  DISPID member = DISPID_UNKNOWN;
  if (FAILED(application->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &member))) return 1;
  DISPPARAMS none{};
  fake_office::Variant value;
  return FAILED(application->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value.Out(),
                                    nullptr, nullptr));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  for (;;) {
    valmora::UniqueKernelHandle workers[3];
    HANDLE waitFor[3];
    DWORD started = 0;
    for (const Target& target : kTargets) {
      valmora::UniqueKernelHandle worker(
          ::CreateThread(nullptr, 0, AttachOnce, const_cast<Target*>(&target), 0, nullptr));
      if (!worker) continue;
      waitFor[started] = worker.get();
      workers[started++] = std::move(worker);
    }
    if (started) ::WaitForMultipleObjects(started, waitFor, TRUE, INFINITE);
    ::Sleep(1000);
  }
}
