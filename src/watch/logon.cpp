#include "watch/logon.h"

#include "library/text.h"

namespace valmora {
namespace {

std::wstring RunCommand(const std::wstring& folder, const std::wstring& name, const wchar_t* option) {
  return L"\"" + folder + L"\\" + name + L".exe\" " + option;
}

}  // namespace

std::wstring WatchRunCommand(const std::wstring& exeFolder, const std::wstring& exeBaseName) {
  return RunCommand(exeFolder, exeBaseName, L"/watch");
}

std::wstring ReopenRunCommand(const std::wstring& exeFolder, const std::wstring& exeBaseName) {
  return RunCommand(exeFolder, exeBaseName, L"/reopen");
}

bool LogonRegistration::IsWatchRegistered() const {
  if (name_.empty()) return false;
  return EndsWithNoCase(ReadRegValue(registry_, kHkeyCurrentUser, kRunKey, name_), L"/watch");
}

bool LogonRegistration::IsReopenRegistered() const {
  if (name_.empty()) return false;
  return EndsWithNoCase(ReadRegValue(registry_, kHkeyCurrentUser, kRunOnceKey, name_), L"/reopen");
}

void LogonRegistration::RegisterWatch() {
  if (name_.empty()) return;
  WriteRegValue(registry_, WatchRunCommand(folder_, name_), kHkeyCurrentUser, kRunKey, name_, true);
}

void LogonRegistration::UnregisterWatch() {
  if (!name_.empty()) DeleteRegEntry(registry_, kHkeyCurrentUser, kRunKey, name_);
}

void LogonRegistration::RegisterReopen() {
  if (name_.empty()) return;
  WriteRegValue(registry_, ReopenRunCommand(folder_, name_), kHkeyCurrentUser, kRunOnceKey, name_, true);
}

void LogonRegistration::UnregisterReopen() {
  if (!name_.empty()) DeleteRegEntry(registry_, kHkeyCurrentUser, kRunOnceKey, name_);
}

}  // namespace valmora
