#include "doclog/open_doc_log.h"

#include <algorithm>

#include "doclog/log_encoding.h"
#include "doclog/log_line.h"
#include "library/utf.h"

namespace valmora {
namespace {

// A hand edit often leaves the last line without its CR LF (or half of it).
std::wstring MissingLineEnd(const std::string& bytes) {
  const std::size_t textStart = DetectLogEncoding(bytes) == LogEncoding::Utf8WithBom ? 3 : 0;
  if (bytes.size() <= textStart || bytes.ends_with("\r\n")) return {};
  return bytes.back() == '\r' ? L"\n" : L"\r\n";
}

}  // namespace

bool EntryList::Add(const std::wstring& entry) {
  if (entries_.size() >= kMaxEntries) return false;
  entries_.push_back(entry);
  return true;
}

bool OpenDocLog::Exists() const { return fs_.FindsAnyEntry(path_); }

std::optional<std::vector<std::wstring>> OpenDocLog::ReadLines() const {
  if (!Exists()) return std::nullopt;
  const auto bytes = fs_.ReadAll(path_);
  if (!bytes) return std::nullopt;
  return DecodeLogLines(*bytes, locale_);
}

bool OpenDocLog::Overwrite(const std::wstring& dateLine, const EntryList& entries,
                           const std::vector<std::wstring>& kept) {
  std::vector<std::wstring> lines{dateLine};
  lines.insert(lines.end(), entries.Entries().begin(), entries.Entries().end());
  lines.insert(lines.end(), kept.begin(), kept.end());
  return Replace(lines);
}

bool OpenDocLog::MergeRewrite(const EntryList& entries) {
  std::vector<std::wstring> lines = entries.Entries();
  std::size_t limited = lines.size();
  for (const auto& line : ReadLines().value_or(std::vector<std::wstring>{})) {
    if (std::find(lines.begin(), lines.end(), line) != lines.end()) continue;
    if (ClassifyLogLine(line, locale_) == LineKind::OtherEntry) {
      lines.push_back(line);
    } else if (limited < EntryList::kMaxEntries) {
      lines.push_back(line);
      ++limited;
    }
  }
  return Replace(lines);
}

bool OpenDocLog::AppendLine(const std::wstring& line) { return AppendText(line + L"\r\n"); }

bool OpenDocLog::Replace(const std::vector<std::wstring>& lines) {
  return fs_.ReplaceAtomically(path_, EncodeLogLines(lines, locale_));
}

// The old bytes are kept exactly and the file keeps its encoding; only when
// the new text cannot join it as ANSI is the whole file rewritten as UTF-8.
bool OpenDocLog::AppendText(const std::wstring& newText) {
  std::string bytes;
  if (Exists()) {
    auto old = fs_.ReadAll(path_);
    if (!old) return false;
    bytes = std::move(*old);
  }
  const LogEncoding encoding = DetectLogEncoding(bytes);
  if (encoding == LogEncoding::Utf16Le || encoding == LogEncoding::Utf16Be) {  // not one of ours: rewritten in ours
    std::vector<std::wstring> lines = DecodeLogLines(bytes, locale_);
    for (const std::wstring& line : SplitLogLines(newText)) lines.push_back(line);
    return Replace(lines);
  }
  const std::wstring text = MissingLineEnd(bytes) + newText;
  if (encoding != LogEncoding::Ansi) {
    bytes += ToUtf8(text);
  } else if (const auto ansi = locale_.ToAnsi(text); ansi && DetectLogEncoding(bytes + *ansi) == LogEncoding::Ansi) {
    bytes += *ansi;
  } else {
    bytes = ToUtf8WithBom(locale_.FromAnsi(bytes) + text);
  }
  return fs_.ReplaceAtomically(path_, bytes);
}

}  // namespace valmora
