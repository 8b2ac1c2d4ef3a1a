// The command-line help of the Help menu.
#pragma once

#include <string>

namespace valmora {

std::wstring HelpText(const std::wstring& exeBaseName);

}  // namespace valmora
