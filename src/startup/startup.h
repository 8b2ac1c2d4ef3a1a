// The start-up procedure of frmMain: which run this process makes.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "doclog/go.h"
#include "doclog/locale.h"
#include "library/file_system.h"
#include "library/registry.h"
#include "mainwindow/main_view.h"
#include "msgbox/questions.h"
#include "watch/watch_mode.h"

namespace valmora {

class InstanceGuard {
 public:
  virtual ~InstanceGuard() = default;
  virtual bool InstExists() const = 0;
};

inline constexpr wchar_t kStartupQuestion[] = L"Reopen previously open MS Office documents/items?";

// frmMain's state that start-up sets up; Go's share comes with it.
struct MainState : GoState {
  std::wstring exeFolder;    // without a trailing "\"
  std::wstring exeBaseName;  // file name without extension
  std::wstring commandLine;
  // The user's own folder for the log, when the exe's cannot be written
  // (the local application-data folder, a subfolder named after the exe).
  std::wstring perUserFolder;
  std::wstring strLogFile;
  bool blnCmdLineMode = false;
  bool blnLoading = false;
  std::unique_ptr<InstanceGuard> objMutex;
};

// Everything start-up touches. The capabilities built later may be absent;
// start-up then leaves their step out.
struct StartupServices {
  std::function<std::unique_ptr<InstanceGuard>()> createGuard;
  MainView& view;
  RegistryApi& registry;
  FileSystem& fs;
  const Locale& locale;
  DocumentScanner* scanner = nullptr;
  WatchControl* watch = nullptr;
  Questions* questions = nullptr;
};

enum class StartupOutcome { Ended, Running };

StartupOutcome RunStartup(MainState& state, StartupServices& services);

// Beside the exe whenever its folder can be written; otherwise (a folder
// such as Program Files) in the per-user folder, made when missing.
std::wstring LogFilePath(const MainState& state, FileSystem& fs);

// What lblCmdLine adds when the log is not beside the exe.
std::wstring LogPlaceNote(const MainState& state);

}  // namespace valmora
