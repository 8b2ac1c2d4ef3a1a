#include "doclog/log_encoding.h"

#include <optional>

#include "library/utf.h"

namespace valmora {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

std::wstring JoinWithCrLf(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const auto& line : lines) {
    text += line;
    text += L"\r\n";
  }
  return text;
}

}  // namespace

bool HasUtf8Bom(const std::string& bytes) { return bytes.starts_with(kBom); }

std::vector<std::wstring> DecodeLogLines(const std::string& bytes, const Locale& locale) {
  const std::wstring text = HasUtf8Bom(bytes) ? FromUtf8(bytes.substr(3)) : locale.FromAnsi(bytes);
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string EncodeLogLines(const std::vector<std::wstring>& lines, const Locale& locale) {
  const std::wstring text = JoinWithCrLf(lines);
  if (const std::optional<std::string> ansi = locale.ToAnsi(text)) return *ansi;
  return kBom + ToUtf8(text);
}

}  // namespace valmora
