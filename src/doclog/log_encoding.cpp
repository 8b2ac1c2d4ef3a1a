#include "doclog/log_encoding.h"

#include <algorithm>
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

bool IsAscii(const std::string& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

LogEncoding DetectLogEncoding(const std::string& bytes) {
  if (bytes.starts_with(kBom)) return LogEncoding::Utf8WithBom;
  if (bytes.starts_with("\xFF\xFE")) return LogEncoding::Utf16Le;
  if (bytes.starts_with("\xFE\xFF")) return LogEncoding::Utf16Be;
  if (!IsAscii(bytes) && IsValidUtf8(bytes)) return LogEncoding::Utf8;
  return LogEncoding::Ansi;
}

std::wstring DecodeLogText(const std::string& bytes, const Locale& locale) {
  switch (DetectLogEncoding(bytes)) {
    case LogEncoding::Utf8WithBom: return FromUtf8(bytes.substr(3));
    case LogEncoding::Utf8: return FromUtf8(bytes);
    case LogEncoding::Utf16Le: return FromUtf16(bytes.substr(2), false);
    case LogEncoding::Utf16Be: return FromUtf16(bytes.substr(2), true);
    case LogEncoding::Ansi: break;
  }
  return locale.FromAnsi(bytes);
}

std::vector<std::wstring> DecodeLogLines(const std::string& bytes, const Locale& locale) {
  return SplitLogLines(DecodeLogText(bytes, locale));
}

std::vector<std::wstring> SplitLogLines(const std::wstring& text) {
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
  const std::optional<std::string> ansi = locale.ToAnsi(text);
  if (ansi && DetectLogEncoding(*ansi) == LogEncoding::Ansi) return *ansi;
  return ToUtf8WithBom(text);
}

std::string ToUtf8WithBom(const std::wstring& text) { return kBom + ToUtf8(text); }

}  // namespace valmora
