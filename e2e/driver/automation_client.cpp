#include "automation_client.h"

#include <vector>

namespace e2e {

Argument::Argument(long number) {
  ::VariantInit(&value_);
  value_.vt = VT_I4;
  value_.lVal = number;
}

Argument::Argument(const wchar_t* text) {
  ::VariantInit(&value_);
  value_.vt = VT_BSTR;
  value_.bstrVal = ::SysAllocString(text);
}

Argument::~Argument() { ::VariantClear(&value_); }

CallResult CallId(IDispatch* object, DISPID id, Variant& value, std::initializer_list<const Argument*> arguments,
                  WORD flags) {
  std::vector<VARIANT> reversed;  // DISPPARAMS holds the last argument first
  for (const Argument* argument : arguments) reversed.insert(reversed.begin(), argument->get());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT argumentError = 0;
  CallResult call;
  call.result = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, value.Out(), &exception, &argumentError);
  if (call.result == DISP_E_EXCEPTION) call.exception = exception.scode;
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  return call;
}

CallResult Call(IDispatch* object, const wchar_t* member, Variant& value, std::initializer_list<const Argument*> arguments,
                WORD flags) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  CallResult call;
  call.result = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(call.result)) return call;
  return CallId(object, id, value, arguments, flags);
}

ComPtr<IDispatch> GetDispatch(IDispatch* object, const wchar_t* member, std::initializer_list<const Argument*> arguments) {
  Variant value;
  ComPtr<IDispatch> result;
  if (SUCCEEDED(Call(object, member, value, arguments).result) && value.get().vt == VT_DISPATCH)
    result = value.get().pdispVal;
  return result;
}

std::wstring GetText(IDispatch* object, const wchar_t* member) {
  Variant value;
  if (FAILED(Call(object, member, value).result) || value.get().vt != VT_BSTR) return L"<failed>";
  return std::wstring(value.get().bstrVal, ::SysStringLen(value.get().bstrVal));
}

int GetBool(IDispatch* object, const wchar_t* member) {
  Variant value;
  if (FAILED(Call(object, member, value).result) || value.get().vt != VT_BOOL) return -1;
  return value.get().boolVal ? 1 : 0;
}

long GetLong(IDispatch* object, const wchar_t* member) {
  Variant value;
  if (FAILED(Call(object, member, value).result) || value.get().vt != VT_I4) return -1;
  return value.get().lVal;
}

ComPtr<IDispatch> Attach(const wchar_t* progId, HRESULT* result) {
  CLSID classId{};
  HRESULT attached = ::CLSIDFromProgID(progId, &classId);
  ComPtr<IUnknown> running;
  if (SUCCEEDED(attached)) attached = ::GetActiveObject(classId, nullptr, running.GetAddressOf());
  ComPtr<IDispatch> application;
  if (SUCCEEDED(attached)) attached = running.As(&application);
  if (result) *result = attached;
  return application;
}

}  // namespace e2e
