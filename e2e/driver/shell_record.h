// What the shell recorder was asked to open: read and cleared by the tests.
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

struct ShellRequest {
  std::wstring target;
  std::wstring show;  // the show command as a number ("3" maximised, "1" normal), or "default"
  bool operator==(const ShellRequest&) const = default;
};
void PrintTo(const ShellRequest& request, std::ostream* out);

// The show commands as the recorder writes them.
std::wstring ShowCommand(int command);

// The record of the recorder that VALMORA_SHELL_RECORDER names, empty at the
// start of a test and again at its end.
class ShellRecord {
 public:
  ShellRecord();
  ~ShellRecord();
  ShellRecord(const ShellRecord&) = delete;
  ShellRecord& operator=(const ShellRecord&) = delete;

  static std::wstring RecorderExe();
  void Clear();
  // The requests recorded so far, in the order their recorders started.
  std::vector<ShellRequest> Read() const;
  // Read once no recorder runs any more (or after the bound): everything
  // started before this call has been recorded by then.
  std::vector<ShellRequest> ReadWhenQuiet(std::chrono::milliseconds bound = 30s) const;
  // Read once at least count requests are there (or after the bound).
  std::vector<ShellRequest> WaitFor(std::size_t count, std::chrono::milliseconds bound = 30s) const;

 private:
  std::wstring path_;
};

}  // namespace e2e
