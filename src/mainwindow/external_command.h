// "&Execute Cmd": one stored command line, run on a click, set on a
// Shift-click or when nothing is stored.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "mainwindow/commands.h"
#include "msgbox/questions.h"

namespace valmora {

// The per-user application settings store.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // "" when the value is missing.
  virtual std::wstring Get(const std::wstring& app, const std::wstring& section, const std::wstring& key) = 0;
  virtual void Set(const std::wstring& app, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) = 0;
  virtual void Delete(const std::wstring& app, const std::wstring& section, const std::wstring& key) = 0;
};

// The program's own input box: prompt, title, default text.
class InputBox {
 public:
  virtual ~InputBox() = default;
  // The text entered, or "" on Cancel.
  virtual std::wstring Ask(const std::wstring& prompt, const std::wstring& title, const std::wstring& defaultText) = 0;
};

class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // Starts the command line as it is (no command interpreter, no file
  // association), minimised with the focus. Nothing on success, else the
  // system's reason.
  virtual std::optional<std::wstring> Start(const std::wstring& commandLine) = 0;
};

inline constexpr wchar_t kClearCommandQuestion[] = L"Do you want to clear the stored command?";

struct ExternalCommandServices {
  SettingsStore& settings;
  InputBox& input;
  StandardQuestion& question;
  ProcessStarter& processes;
  Notices& notices;
  std::function<void()> bringMainWindowToFront;
};

class ExternalCommand {
 public:
  explicit ExternalCommand(ExternalCommandServices services) : services_(std::move(services)) {}
  // shiftDown: Shift held at the click.
  void Clicked(bool shiftDown);

 private:
  std::wstring Stored();
  void Start(const std::wstring& commandLine);

  ExternalCommandServices services_;
};

}  // namespace valmora
