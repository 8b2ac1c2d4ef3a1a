// Log bytes of any shape: decoding, classifying and summarising must not fail.
#include <cstddef>
#include <cstdint>
#include <string>

#include "doclog/log_encoding.h"
#include "doclog/log_line.h"
#include "library/text.h"
#include "mainwindow/log_summary.h"
#include "startup/command_line.h"
#include "testing/fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace valmora;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const testing::FakeLocale locale;
  for (const std::wstring& line : DecodeLogLines(bytes, locale)) {
    ClassifyLogLine(line, locale);
    GetFileExt(line, true);
    MatchCommandLine(line);
    ArgumentsAfterProgram(line);
  }
  testing::FakeFileSystem fs;
  fs.files[L"log"] = bytes;
  OpenDocLog log(L"log", fs, locale);
  GetLogSummary(log);
  // What is written must read back as the same lines.
  const auto lines = DecodeLogLines(bytes, locale);
  const std::string encoded = EncodeLogLines(lines, locale);
  if (DecodeLogLines(encoded, locale) != lines) {
    bool hasCrLfInside = false;
    for (const auto& l : lines) hasCrLfInside |= l.find(L"\r\n") != std::wstring::npos;
    if (!hasCrLfInside) __builtin_trap();
  }
  return 0;
}
