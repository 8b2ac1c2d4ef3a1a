// Late-bound automation calls from the test side, as Valmora makes them:
// a member looked up by name, then invoked as a property get or method.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "com_support_win32.h"

namespace e2e {

using fake_office::ComPtr;
using fake_office::Variant;

// One argument of a call: a number or a text.
class Argument {
 public:
  Argument(long number);
  Argument(const wchar_t* text);
  ~Argument();
  Argument(const Argument&) = delete;
  Argument& operator=(const Argument&) = delete;
  const VARIANT& get() const { return value_; }

 private:
  VARIANT value_;
};

struct CallResult {
  HRESULT result = E_FAIL;
  SCODE exception = S_OK;  // the code inside DISP_E_EXCEPTION
};

CallResult Call(IDispatch* object, const wchar_t* member, Variant& value, std::initializer_list<const Argument*> arguments = {},
                WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);
// The same by DISPID (DISPID_VALUE, DISPID_NEWENUM), with no name lookup.
CallResult CallId(IDispatch* object, DISPID id, Variant& value, std::initializer_list<const Argument*> arguments = {},
                  WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);

// Shorthands that return an empty value when the call fails.
ComPtr<IDispatch> GetDispatch(IDispatch* object, const wchar_t* member, std::initializer_list<const Argument*> arguments = {});
std::wstring GetText(IDispatch* object, const wchar_t* member);
// -1 when the call fails or gives no Boolean.
int GetBool(IDispatch* object, const wchar_t* member);
long GetLong(IDispatch* object, const wchar_t* member);

// Attaches to a running application through its ProgID and the ROT.
ComPtr<IDispatch> Attach(const wchar_t* progId, HRESULT* result = nullptr);

}  // namespace e2e
