// Small text and path routines shared by the whole program.
#pragma once

#include <cstdint>
#include <string>

namespace valmora {

enum class Compare : std::int32_t { Binary = 0, Text = 1 };

// Counts matches of find in text, overlapping ones included ("aa" is in
// "aaaa" three times). An empty find matches at every position.
std::int64_t CountOccurrences(const std::wstring& text, const std::wstring& find,
                              Compare compare);

// The extension of the path's file name, letters as written, or "" when the
// name has none. forwardSlash picks "/" instead of "\" as the separator.
std::wstring GetFileExt(const std::wstring& path, bool forwardSlash = false);

// Trims blanks, then removes one enclosing pair of double quotes.
std::wstring StripQuotes(const std::wstring& text);

// The characters before the first NUL.
std::wstring TrimNull(const std::wstring& text);

// Leading and trailing blanks (space only, not tabs) removed.
std::wstring TrimBlanks(const std::wstring& text);

// Blanks and tabs: white space where a command line is read.
inline constexpr wchar_t kWhiteSpace[] = L" \t";
// Nothing but blanks and tabs, or nothing at all.
bool IsWhiteSpace(const std::wstring& text);
// Leading and trailing blanks and tabs removed.
std::wstring TrimWhiteSpace(const std::wstring& text);

std::wstring ToLower(std::wstring text);
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);
bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix);
bool ContainsNoCase(const std::wstring& text, const std::wstring& find);

}  // namespace valmora
