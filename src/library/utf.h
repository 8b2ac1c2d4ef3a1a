// UTF-8 for the log file's bytes; wchar_t is UTF-16 on Windows, UTF-32 elsewhere.
#pragma once

#include <string>

namespace valmora {

std::string ToUtf8(const std::wstring& text);
// Malformed bytes become U+FFFD; nothing is dropped silently.
std::wstring FromUtf8(const std::string& bytes);
// Every sequence well formed: no stray bytes, overlong forms or surrogates.
bool IsValidUtf8(const std::string& bytes);
// UTF-16 bytes in either order, without their BOM; a lone surrogate becomes
// U+FFFD, an odd last byte is dropped.
std::wstring FromUtf16(const std::string& bytes, bool bigEndian);

}  // namespace valmora
