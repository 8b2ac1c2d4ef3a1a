#include "office/object_model_win32.h"

#include <objbase.h>

#include <algorithm>

namespace valmora {

VARIANT Index(long value) {
  VARIANT index;
  ::VariantInit(&index);
  index.vt = VT_I4;
  index.lVal = value;
  return index;
}

VARIANT TextArgument(const Bstr& text) {
  VARIANT argument;
  ::VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = text.get();
  return argument;
}

Attached AttachTo(const wchar_t* progId, ComPtr<IDispatch>* application) {
  CLSID classId{};
  if (FAILED(::CLSIDFromProgID(progId, &classId))) return Attached::NotRunning;  // not even installed
  ComPtr<IUnknown> running;
  const HRESULT got = ::GetActiveObject(classId, nullptr, running.GetAddressOf());
  // Only an empty table entry means none registered; anything else is a
  // failure to reach one that is.
  if (got == MK_E_UNAVAILABLE) return Attached::NotRunning;
  if (FAILED(got) || !running) return Attached::Failed;
  return SUCCEEDED(running.As(application)) && *application ? Attached::Yes : Attached::Failed;
}

ComPtr<IDispatch> Create(const wchar_t* progId) {
  CLSID classId{};
  ComPtr<IDispatch> application;
  if (SUCCEEDED(::CLSIDFromProgID(progId, &classId)))
    ::CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(application.GetAddressOf()));
  return application;
}

std::optional<long> ReadCount(DispatchCaller& call, IDispatch* collection, const wchar_t* kind) {
  Variant counted;
  if (FAILED(call.Call(collection, kind, L"Count", counted.Out()))) return std::nullopt;
  return ToCount(counted.get());
}

namespace {

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

}  // namespace

bool Walk(DispatchCaller& call, IDispatch* collection, const wchar_t* kind, HeldObjects& held, const Visit& visit) {
  // One round trip brings a whole batch of elements, and a consistent one.
  const ComPtr<IEnumVARIANT> walker = call.Enumerate(collection);
  if (walker) return WalkEnumerator(call, walker.Get(), held, visit);
  return !call.Stopped() && WalkByIndex(call, collection, kind, held, visit);
}

}  // namespace valmora
