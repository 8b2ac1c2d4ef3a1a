#include "doclog/locale_win32.h"

#include <windows.h>
#include <oleauto.h>

#include "library/utf.h"

namespace valmora {
namespace {

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
  wchar_t buffer[16];
  const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 16);
  return length > 1 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : fallback;
}

}  // namespace

std::wstring Win32Locale::FormatShortDate(const LocalTime& time) const {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(time.year);
  st.wMonth = static_cast<WORD>(time.month);
  st.wDay = static_cast<WORD>(time.day);
  wchar_t buffer[80];
  const int length = ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 80, nullptr);
  return length > 1 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : std::wstring();
}

std::wstring Win32Locale::TimeSeparator() const { return LocaleText(LOCALE_STIME, L":"); }

std::wstring Win32Locale::DateSeparator() const { return LocaleText(LOCALE_SDATE, L"/"); }

bool Win32Locale::IsDate(const std::wstring& text) const {
  if (text.find_first_not_of(L' ') == std::wstring::npos) return false;
  DATE date = 0;
  return SUCCEEDED(::VarDateFromStr(const_cast<OLECHAR*>(text.c_str()), LOCALE_USER_DEFAULT, 0, &date));
}

std::optional<std::string> Win32Locale::ToAnsi(const std::wstring& text) const {
  if (text.empty()) return std::string();
  const int wide = static_cast<int>(text.size());
  if (::GetACP() == CP_UTF8) return ToUtf8(text);
  BOOL lossy = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wide, nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wide, bytes.data(), size, nullptr, &lossy);
  if (lossy || FromAnsi(bytes) != text) return std::nullopt;
  return bytes;
}

std::wstring Win32Locale::FromAnsi(const std::string& bytes) const {
  if (bytes.empty()) return {};
  const int narrow = static_cast<int>(bytes.size());
  const int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), narrow, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), narrow, text.data(), size);
  return text;
}

LocalTime Win32Clock::Now() const {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

}  // namespace valmora
