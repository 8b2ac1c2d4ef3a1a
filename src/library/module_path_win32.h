// The running executable's full path, of any length.
#pragma once

#include <string>

namespace valmora {

std::wstring ModulePath();

}  // namespace valmora
