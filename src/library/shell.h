// The Windows shell's "open": files, "Outlook:" item addresses, web addresses.
#pragma once

#include <string>

namespace valmora {

enum class ShowWindowAs { Normal, Maximised };

// What the shell made of a request to open something.
struct ShellOpen {
  bool opened = true;
  std::wstring reason;  // the system's own words when nothing was opened
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Hands target to whatever the shell opens it with.
  virtual ShellOpen Open(const std::wstring& target, ShowWindowAs show) = 0;
};

}  // namespace valmora
