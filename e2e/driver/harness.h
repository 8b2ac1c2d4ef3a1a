// Finding, reading and pressing the windows of a Valmora.exe under test.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// A throw-away folder with its own copy of Valmora.exe, so the log lands there.
class TestFolder {
 public:
  explicit TestFolder(const std::wstring& name);
  ~TestFolder();
  const std::wstring& Path() const { return path_; }
  std::wstring Exe() const { return path_ + L"\\Valmora.exe"; }
  std::wstring Log() const { return path_ + L"\\Valmora.txt"; }
  void WriteFile(const std::wstring& name, const std::string& bytes) const;
  std::vector<std::wstring> Files() const;

 private:
  std::wstring path_;
};

// The logon registrations named after Valmora.exe: none at the start of a
// test and none again at its end, whatever the test did.
class Registrations {
 public:
  Registrations() { Clear(); }
  ~Registrations() { Clear(); }
  Registrations(const Registrations&) = delete;
  Registrations& operator=(const Registrations&) = delete;
  // As the watch toggle writes it: start-up then asks no question.
  void RegisterWatch(const TestFolder& folder);

 private:
  static void Clear();
};

// A visible top-level window of that process and class, looked for once.
HWND VisibleWindowOf(DWORD processId, const wchar_t* className);

class Process {
 public:
  // quotePath false: the path stands unquoted at the start of the command
  // line, as a hand-written Run value puts it.
  Process(const std::wstring& exe, const std::wstring& arguments, bool quotePath = true);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  DWORD Id() const { return info_.dwProcessId; }
  // The exit code, or STILL_ACTIVE when it has not ended within the time.
  DWORD WaitForExit(std::chrono::milliseconds timeout);
  // A visible top-level window of this process with that class ("#32770"
  // for a message box), or nullptr after the time.
  HWND WaitForWindow(const wchar_t* className, std::chrono::milliseconds timeout = 20s) const;
  // As WaitForWindow, but not `seen`: the next box once the one before it has
  // gone, or nullptr after the time.
  HWND WaitForNewWindow(const wchar_t* className, HWND seen = nullptr,
                        std::chrono::milliseconds timeout = 30s) const;
  // The program's own message box once its message is `text`, ready for
  // keys; a box caught as it closes has no text, and is not taken for it.
  HWND WaitForMessageSaying(const std::wstring& text, std::chrono::milliseconds timeout = 30s) const;

 private:
  PROCESS_INFORMATION info_{};
};

// The screen's DPI for the processes started while it lives; Wine reads it
// from the registry when a process starts. Back to 96 afterwards.
class Dpi {
 public:
  explicit Dpi(DWORD dpi) { Set(dpi); }
  ~Dpi() { Set(96); }
  Dpi(const Dpi&) = delete;
  Dpi& operator=(const Dpi&) = delete;

 private:
  static void Set(DWORD dpi);
};

// A per-user locale setting (a value under Control Panel\International)
// changed for the processes started while it lives, and put back after it.
class LocaleOverride {
 public:
  LocaleOverride(const wchar_t* name, const std::wstring& value);
  ~LocaleOverride();
  LocaleOverride(const LocaleOverride&) = delete;
  LocaleOverride& operator=(const LocaleOverride&) = delete;

 private:
  std::wstring name_;
  std::wstring old_;
};

// WM_QUERYENDSESSION as Windows sends it: from another thread, waiting for
// the answer while the program saves the list. Answer() waits for it.
class SessionEndQuery {
 public:
  explicit SessionEndQuery(HWND main);
  ~SessionEndQuery();
  SessionEndQuery(const SessionEndQuery&) = delete;
  SessionEndQuery& operator=(const SessionEndQuery&) = delete;
  DWORD_PTR Answer();

 private:
  DWORD_PTR answer_ = 0;
  std::thread thread_;
};

// The control of a window's process that has the keyboard focus.
HWND FocusOf(HWND window);
// The window, once a child of it holds the focus: it turns visible a moment
// before its first control takes it.
HWND Ready(HWND window);
// The main window once no scan or reopen runs in it: its commands are locked
// meanwhile, and a click or menu choice made then is rightly ignored.
HWND Idle(HWND main);
// The dialog's first visible edit control (the file dialog's file-name box).
HWND FindEdit(HWND dialog);
// Types the path into the open-file dialog's file-name box and presses Open.
void ChooseInFileDialog(HWND dialog, const std::wstring& path);

// Polls done until it holds (true) or the bound has passed (false).
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = 30s);

// The window's answer, or nothing when it gave none within the bound. Not
// SMTO_ABORTIFHUNG: Wine takes a thread for hung in the moment after a wait
// of over five seconds without messages, and drops what is sent to it then.
std::optional<LRESULT> SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   std::chrono::milliseconds bound = 5s);
std::wstring Text(HWND window);
// The message text of a standard message box.
std::wstring MessageBoxText(HWND box);
void Press(HWND button);
void PressDialogButton(HWND dialog, int id);
// A key pressed on the focused control (Alt held: alt), through the window's
// own message loop as typed keys go.
void Key(HWND window, WPARAM key, bool alt = false);
// A click inside a link control's caption, as a mouse would make it.
void ClickLink(HWND link);
// A real mouse click on the middle of the control, with `held` (a virtual
// key such as VK_SHIFT, or 0) down around it: hardware input through the
// system's queue, so the program reads the key's state as it was at the
// click. Its window is brought to the front first.
bool ClickHolding(HWND control, WORD held);
bool IsPressed(HWND toggle);
// Saves the window as it is on screen to <screenshot folder>\<name>.bmp.
void Screenshot(HWND window, const std::wstring& name);
// The file's bytes, or "" when there is none. Opened as Valmora's own reads
// open it, sharing delete: its atomic replace leaves a handle with delete
// access on the new log for a moment, and a plainer open fails then.
std::string ReadBytes(const std::wstring& path);
// How often part stands in text, without overlaps: a log line written once.
std::size_t Occurrences(const std::string& text, const std::string& part);
std::wstring EnvOr(const wchar_t* name, const wchar_t* fallback);

}  // namespace e2e
