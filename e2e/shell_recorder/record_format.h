// The shell recorder's record: how a start maps to a request, and the file's
// lines. Shared by the recorder and the e2e driver that reads the record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell_recorder {

// What the registration puts before its quoted "%1".
inline constexpr wchar_t kShellMarker[] = L"--shell-open";

// From the registration: the target inside the one pair of quotes it adds.
// Started as a plain program: the whole argument text, as it came.
// arguments: the command line after the program, leading white space removed.
std::wstring RequestFromArguments(const std::wstring& arguments);

// The record beside the recorder, named after it: C:\t\shell_recorder.record.
std::wstring RecordPathFor(const std::wstring& recorderExe);

struct RecordedRequest {
  std::wstring target;
  std::wstring show;           // the STARTUPINFO show command, or "default"
  std::uint64_t started = 0;   // the process's creation time: orders starts that raced
};

// UTF-8: target, tab, show, tab, started (decimal), CR LF.
std::string FormatRecordLine(const RecordedRequest& request);
// Whole lines in file order; the last two tabs split a line, so a target may
// hold tabs. A line without its CR LF or its fields is left out.
std::vector<RecordedRequest> ParseRecord(const std::string& bytes);

}  // namespace shell_recorder
