#pragma once

#include "doclog/locale.h"

namespace valmora {

// The user's regional settings and the system's date parser.
class Win32Locale : public Locale {
 public:
  std::wstring FormatShortDate(const LocalTime& time) const override;
  std::wstring TimeSeparator() const override;
  std::wstring DateSeparator() const override;
  bool IsDate(const std::wstring& text) const override;
  std::optional<std::string> ToAnsi(const std::wstring& text) const override;
  std::wstring FromAnsi(const std::string& bytes) const override;
};

class Win32Clock : public Clock {
 public:
  LocalTime Now() const override;
};

}  // namespace valmora
