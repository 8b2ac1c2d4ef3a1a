// What the command line asks for.
#pragma once

#include <string>

namespace valmora {

enum class CommandLineRun { Shutdown, Reopen, Watch, Interactive, Invalid };

// Switches count anywhere and in any case; the first of /shutdown, /reopen,
// /watch found decides. Anything else must be white space (blanks, tabs).
CommandLineRun MatchCommandLine(const std::wstring& commandLine);

// The text after the program's own path on a process command line, leading
// blanks and tabs removed, as one string. A command line that starts with
// programPath unquoted (a hand-written Run value, a bare CreateProcess)
// loses all of it, blanks in it included; otherwise the program name ends at
// its closing quote, or at the first blank or tab.
std::wstring ArgumentsAfterProgram(const std::wstring& processCommandLine, const std::wstring& programPath = L"");

}  // namespace valmora
