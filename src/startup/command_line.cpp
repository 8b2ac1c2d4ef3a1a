#include "startup/command_line.h"

#include "library/text.h"

namespace valmora {

CommandLineRun MatchCommandLine(const std::wstring& commandLine) {
  if (ContainsNoCase(commandLine, L"/shutdown")) return CommandLineRun::Shutdown;
  if (ContainsNoCase(commandLine, L"/reopen")) return CommandLineRun::Reopen;
  if (ContainsNoCase(commandLine, L"/watch")) return CommandLineRun::Watch;
  return IsWhiteSpace(commandLine) ? CommandLineRun::Interactive : CommandLineRun::Invalid;
}

std::wstring ArgumentsAfterProgram(const std::wstring& processCommandLine, const std::wstring& programPath) {
  std::size_t pos = 0;
  const std::size_t length = programPath.size();
  const bool startsWithPath = length > 0 && StartsWithNoCase(processCommandLine, programPath) &&
                              (processCommandLine.size() == length || processCommandLine[length] == L' ' ||
                               processCommandLine[length] == L'\t');
  if (startsWithPath) {
    pos = length;
  } else if (!processCommandLine.empty() && processCommandLine[0] == L'"') {
    const std::size_t close = processCommandLine.find(L'"', 1);
    pos = close == std::wstring::npos ? processCommandLine.size() : close + 1;
  } else {
    pos = processCommandLine.find_first_of(kWhiteSpace);
  }
  pos = processCommandLine.find_first_not_of(kWhiteSpace, pos);
  return pos == std::wstring::npos ? std::wstring() : processCommandLine.substr(pos);
}

}  // namespace valmora
