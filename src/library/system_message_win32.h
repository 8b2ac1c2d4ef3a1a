// The system's own words for an error code.
#pragma once

#include <string>

namespace valmora {

// "Access is denied." and the like, without the line break the system adds;
// "Error N." for a code the system has no text for.
std::wstring SystemMessage(unsigned long error);

}  // namespace valmora
