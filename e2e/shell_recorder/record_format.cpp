#include "record_format.h"

#include <charconv>

#include "library/utf.h"

namespace shell_recorder {

std::wstring RequestFromArguments(const std::wstring& arguments) {
  const std::wstring marker = kShellMarker;
  if (arguments.compare(0, marker.size(), marker) != 0) return arguments;
  const std::size_t start = arguments.find_first_not_of(L" \t", marker.size());
  if (start == marker.size()) return arguments;  // a longer word, not the marker
  if (start == std::wstring::npos) return {};
  const std::wstring quoted = arguments.substr(start);
  if (quoted.size() >= 2 && quoted.front() == L'"' && quoted.back() == L'"') return quoted.substr(1, quoted.size() - 2);
  return quoted;
}

std::wstring RecordPathFor(const std::wstring& recorderExe) {
  const std::size_t slash = recorderExe.find_last_of(L"\\/");
  const std::size_t dot = recorderExe.rfind(L'.');
  const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  return (hasExtension ? recorderExe.substr(0, dot) : recorderExe) + L".record";
}

std::string FormatRecordLine(const RecordedRequest& request) {
  return valmora::ToUtf8(request.target) + '\t' + valmora::ToUtf8(request.show) + '\t' +
         std::to_string(request.started) + "\r\n";
}

std::vector<RecordedRequest> ParseRecord(const std::string& bytes) {
  std::vector<RecordedRequest> requests;
  std::size_t begin = 0;
  for (std::size_t end; (end = bytes.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
    const std::string line = bytes.substr(begin, end - begin);
    const std::size_t lastTab = line.rfind('\t');
    if (lastTab == std::string::npos || lastTab == 0) continue;
    const std::size_t showTab = line.rfind('\t', lastTab - 1);
    if (showTab == std::string::npos) continue;
    std::uint64_t started = 0;
    const char* first = line.data() + lastTab + 1;
    const char* last = line.data() + line.size();
    const auto [stop, error] = std::from_chars(first, last, started);
    if (first == last || stop != last || error != std::errc()) continue;
    requests.push_back({valmora::FromUtf8(line.substr(0, showTab)),
                        valmora::FromUtf8(line.substr(showTab + 1, lastTab - showTab - 1)), started});
  }
  return requests;
}

}  // namespace shell_recorder
