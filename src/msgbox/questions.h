// How the rest of the program talks to the user: questions and notices with
// a countdown, shown in the program's own timed message box.
#pragma once

#include <string>
#include <string_view>

namespace valmora {

class Questions {
 public:
  virtual ~Questions() = default;
  virtual bool AskYesNo(const std::wstring& message, int countDown, bool defaultYes) = 0;
};

class Notices {
 public:
  virtual ~Notices() = default;
  virtual void ShowWarning(std::wstring_view message, int countDown) = 0;  // beeps first
  virtual void ShowInfo(std::wstring_view message, int countDown) = 0;
};

}  // namespace valmora
