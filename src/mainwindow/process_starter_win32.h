// Starts the external command as a process of its own.
#pragma once

#include "mainwindow/external_command.h"

namespace valmora {

class Win32ProcessStarter final : public ProcessStarter {
 public:
  std::optional<std::wstring> Start(const std::wstring& commandLine) override;
};

}  // namespace valmora
