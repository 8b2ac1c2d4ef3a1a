#include "library/text.h"

#include <cwctype>
#include <vector>

namespace valmora {
namespace {

wchar_t FoldCase(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c))); }

bool MatchesAt(const std::wstring& text, std::size_t pos, const std::wstring& find, Compare compare) {
  if (pos + find.size() > text.size()) return false;
  for (std::size_t i = 0; i < find.size(); ++i) {
    wchar_t a = text[pos + i];
    wchar_t b = find[i];
    if (compare == Compare::Text) {
      a = FoldCase(a);
      b = FoldCase(b);
    }
    if (a != b) return false;
  }
  return true;
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t next = text.find(separator, start);
    if (next == std::wstring::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, next - start));
    start = next + 1;
  }
}

}  // namespace

std::int64_t CountOccurrences(const std::wstring& text, const std::wstring& find, Compare compare) {
  std::int64_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (MatchesAt(text, pos, find, compare)) ++count;
  }
  return count;
}

std::wstring GetFileExt(const std::wstring& path, bool forwardSlash) {
  const wchar_t separator = forwardSlash ? L'/' : L'\\';
  const std::wstring text = TrimBlanks(StripQuotes(path));
  if (text.empty()) return {};

  const std::vector<std::wstring> parts = Split(text, separator);
  const bool unc = text.size() >= 2 && text[0] == separator && text[1] == separator;
  std::wstring name;
  if (unc) {
    // \\server\share names no file; only what follows the share does.
    if (parts.size() > 4) name = parts.back();
  } else if (!(parts.size() == 1 && !parts[0].empty() && parts[0].back() == L':')) {
    name = parts.back();
  }

  const std::size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos || dot + 1 == name.size()) return {};
  return name.substr(dot + 1);
}

std::wstring StripQuotes(const std::wstring& text) {
  std::wstring trimmed = TrimBlanks(text);
  if (trimmed.size() >= 2 && trimmed.front() == L'"' && trimmed.back() == L'"') {
    return trimmed.substr(1, trimmed.size() - 2);
  }
  return trimmed;
}

std::wstring TrimNull(const std::wstring& text) {
  const std::size_t nul = text.find(L'\0');
  return nul == std::wstring::npos ? text : text.substr(0, nul);
}

namespace {

std::wstring Trim(const std::wstring& text, const wchar_t* characters) {
  const std::size_t first = text.find_first_not_of(characters);
  if (first == std::wstring::npos) return {};
  const std::size_t last = text.find_last_not_of(characters);
  return text.substr(first, last - first + 1);
}

}  // namespace

std::wstring TrimBlanks(const std::wstring& text) { return Trim(text, L" "); }

bool IsWhiteSpace(const std::wstring& text) { return text.find_first_not_of(kWhiteSpace) == std::wstring::npos; }

std::wstring TrimWhiteSpace(const std::wstring& text) { return Trim(text, kWhiteSpace); }

std::wstring ToLower(std::wstring text) {
  for (wchar_t& c : text) c = FoldCase(c);
  return text;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  return MatchesAt(text, 0, prefix, Compare::Text);
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix) {
  return text.size() >= suffix.size() && MatchesAt(text, text.size() - suffix.size(), suffix, Compare::Text);
}

bool ContainsNoCase(const std::wstring& text, const std::wstring& find) {
  for (std::size_t pos = 0; pos + find.size() <= text.size(); ++pos) {
    if (MatchesAt(text, pos, find, Compare::Text)) return true;
  }
  return false;
}

}  // namespace valmora
