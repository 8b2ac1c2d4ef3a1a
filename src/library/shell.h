// The Windows shell's "open": files, "Outlook:" item addresses, web addresses.
#pragma once

#include <string>

namespace valmora {

enum class ShowWindowAs { Normal, Maximised };

class Shell {
 public:
  virtual ~Shell() = default;
  // Hands target to whatever the shell opens it with; true when the shell
  // accepted it (the caller may ignore that).
  virtual bool Open(const std::wstring& target, ShowWindowAs show) = 0;
};

}  // namespace valmora
