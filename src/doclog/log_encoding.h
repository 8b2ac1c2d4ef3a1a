// The log's bytes: ANSI when every line fits the code page, else UTF-8 with a BOM.
#pragma once

#include <string>
#include <vector>

#include "doclog/locale.h"

namespace valmora {

// Lines split at CR LF; a final CR LF ends the last line rather than
// starting an empty one. A UTF-8 BOM selects UTF-8, anything else is ANSI.
std::vector<std::wstring> DecodeLogLines(const std::string& bytes, const Locale& locale);

// Each line followed by CR LF.
std::string EncodeLogLines(const std::vector<std::wstring>& lines, const Locale& locale);

bool HasUtf8Bom(const std::string& bytes);

}  // namespace valmora
