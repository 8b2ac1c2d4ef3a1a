// A yes/no question with a countdown, as the rest of the program asks it.
#pragma once

#include <string>

namespace valmora {

class Questions {
 public:
  virtual ~Questions() = default;
  virtual bool AskYesNo(const std::wstring& message, int countDown, bool defaultYes) = 0;
};

}  // namespace valmora
