// RAII for COM: interface pointers, VARIANTs, BSTRs, apartment membership.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>
#include <utility>

namespace valmora {

using Microsoft::WRL::ComPtr;

class Variant {
 public:
  Variant() { ::VariantInit(&value_); }
  ~Variant() { ::VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  const VARIANT& get() const { return value_; }
  // For an out-parameter: whatever was held is released first.
  VARIANT* Out() {
    ::VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text) : value_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { ::SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return value_; }
  // nullptr only when allocation failed (a null BSTR would read as "").
  bool Allocated() const { return value_ != nullptr; }
  // Hands ownership to a VARIANT or a caller.
  BSTR Detach() { return std::exchange(value_, nullptr); }

 private:
  BSTR value_ = nullptr;
};

// CoInitializeEx for the lifetime of the object, undone only when it succeeded.
class ComApartment {
 public:
  explicit ComApartment(DWORD model) : result_(::CoInitializeEx(nullptr, model)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool Joined() const { return SUCCEEDED(result_); }
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

// The four strings an EXCEPINFO may carry, freed on every path.
class ExceptionInfo {
 public:
  ExceptionInfo() = default;
  ~ExceptionInfo() {
    ::SysFreeString(info_.bstrSource);
    ::SysFreeString(info_.bstrDescription);
    ::SysFreeString(info_.bstrHelpFile);
  }
  ExceptionInfo(const ExceptionInfo&) = delete;
  ExceptionInfo& operator=(const ExceptionInfo&) = delete;
  EXCEPINFO* get() { return &info_; }
  // The error the exception carries, filled in first where the server
  // deferred it.
  SCODE Code() {
    if (info_.pfnDeferredFillIn) {
      const auto fill = std::exchange(info_.pfnDeferredFillIn, nullptr);
      fill(&info_);
    }
    return info_.scode;
  }

 private:
  EXCEPINFO info_{};
};

}  // namespace valmora
