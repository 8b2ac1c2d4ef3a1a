// The logon registrations: a Run value for watch mode at every logon, a
// RunOnce value for one reopen run at the next logon, named after the exe.
#pragma once

#include <string>

#include "library/registry.h"

namespace valmora {

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// "<folder>\<name>.exe" in quotes, one blank and the switch.
std::wstring WatchRunCommand(const std::wstring& exeFolder, const std::wstring& exeBaseName);
std::wstring ReopenRunCommand(const std::wstring& exeFolder, const std::wstring& exeBaseName);

class LogonRegistration {
 public:
  LogonRegistration(RegistryApi& registry, std::wstring exeFolder, std::wstring exeBaseName)
      : registry_(registry), folder_(std::move(exeFolder)), name_(std::move(exeBaseName)) {}

  // Without a name (the exe's path could not be read, or it is ".exe")
  // nothing is read or written: to the registry an empty value name means
  // the key's default value, and to a delete the whole Run or RunOnce key.
  // Recognised by their endings alone, in any letter case: the path in front
  // may name where the exe used to be.
  bool IsWatchRegistered() const;
  bool IsReopenRegistered() const;

  void RegisterWatch();
  void UnregisterWatch();
  void RegisterReopen();
  void UnregisterReopen();

 private:
  RegistryApi& registry_;
  std::wstring folder_;
  std::wstring name_;
};

}  // namespace valmora
