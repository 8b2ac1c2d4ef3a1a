// The running executable's full path, of any length.
#pragma once

#include <string>

namespace valmora {

std::wstring ModulePath();
// The user's local application-data folder, or "" when the system has none.
std::wstring LocalAppDataFolder();

}  // namespace valmora
