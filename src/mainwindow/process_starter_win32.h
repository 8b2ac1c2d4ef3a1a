// Starts the external command as a process of its own.
#pragma once

#include "mainwindow/external_command.h"

namespace valmora {

class Win32ProcessStarter final : public ProcessStarter {
 public:
  std::optional<std::wstring> Start(const std::wstring& commandLine) override;
};

// The system's text for an error code, without its trailing line break;
// "Error <code>" when the system has none.
std::wstring SystemErrorText(unsigned long code);

}  // namespace valmora
