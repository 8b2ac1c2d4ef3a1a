// The log's bytes: ANSI when every line fits the code page, else UTF-8 with a BOM.
#pragma once

#include <string>
#include <vector>

#include "doclog/locale.h"

namespace valmora {

// The program writes ANSI or UTF-8 with a BOM; it reads what editors save
// too: UTF-8 without a BOM, and UTF-16 in either byte order with its BOM.
enum class LogEncoding { Ansi, Utf8, Utf8WithBom, Utf16Le, Utf16Be };

// A BOM decides; without one, bytes that are valid UTF-8 and not plain
// ASCII are UTF-8. Anything else is ANSI.
LogEncoding DetectLogEncoding(const std::string& bytes);

// The whole text, BOM removed.
std::wstring DecodeLogText(const std::string& bytes, const Locale& locale);
// Lines split at CR LF; a final CR LF ends the last line rather than
// starting an empty one.
std::vector<std::wstring> SplitLogLines(const std::wstring& text);
std::vector<std::wstring> DecodeLogLines(const std::string& bytes, const Locale& locale);

// Each line followed by CR LF. ANSI only when it fits and would not be
// taken for UTF-8 on the way back.
std::string EncodeLogLines(const std::vector<std::wstring>& lines, const Locale& locale);

std::string ToUtf8WithBom(const std::wstring& text);

}  // namespace valmora
