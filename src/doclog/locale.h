// The user's regional settings, as the log needs them.
#pragma once

#include <optional>
#include <string>

namespace valmora {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Locale {
 public:
  virtual ~Locale() = default;
  // The date in the user's short date format.
  virtual std::wstring FormatShortDate(const LocalTime& time) const = 0;
  virtual std::wstring TimeSeparator() const = 0;
  virtual std::wstring DateSeparator() const = 0;
  // The system's date parser accepts the text as a date or a time.
  virtual bool IsDate(const std::wstring& text) const = 0;
  // The text in the ANSI code page, or nothing when it does not fit losslessly.
  virtual std::optional<std::string> ToAnsi(const std::wstring& text) const = 0;
  virtual std::wstring FromAnsi(const std::string& bytes) const = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
};

}  // namespace valmora
