// The program's version as its own version resource states it.
#pragma once

#include <string>

namespace valmora {

// "1.16" for a file version 1.16.x.y; "" when the file has no version resource.
std::wstring FileVersionText(const std::wstring& path);

// The same for the running executable.
std::wstring ProgramVersionText();

}  // namespace valmora
