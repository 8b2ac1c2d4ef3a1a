#include "harness.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "library/registry.h"
#include "library/registry_win32.h"
#include "library/unique_handle_win32.h"
#include "mainwindow/control_ids.h"
#include "msgbox/msgbox_ids.h"
#include "watch/logon.h"

namespace e2e {
namespace {

// The first use of COM in a fresh prefix waits for Wine's RPC service to come
// up, which can take many seconds: pay that once, before any test, rather
// than inside whichever test scans first.
class ComWarmUp : public ::testing::Environment {
 public:
  void SetUp() override {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return;
    CLSID clsid;
    if (SUCCEEDED(::CLSIDFromProgID(L"Excel.Application", &clsid))) {
      IUnknown* running = nullptr;
      if (SUCCEEDED(::GetActiveObject(clsid, nullptr, &running))) running->Release();
    }
    ::CoUninitialize();
  }
};

[[maybe_unused]] ::testing::Environment* const kComWarmUp = ::testing::AddGlobalTestEnvironment(new ComWarmUp);

}  // namespace

std::wstring EnvOr(const wchar_t* name, const wchar_t* fallback) {
  wchar_t buffer[32768];
  const DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
  return length ? std::wstring(buffer, length) : fallback;
}

namespace {

void DeleteTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  valmora::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (find) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(full);
      } else {
        ::DeleteFileW(full.c_str());
      }
    } while (::FindNextFileW(find.get(), &data));
  }
  find.reset();
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

TestFolder::TestFolder(const std::wstring& name) {
  const std::wstring root = EnvOr(L"VALMORA_E2E_ROOT", L"C:\\valmora-e2e");
  ::CreateDirectoryW(root.c_str(), nullptr);
  path_ = root + L"\\" + name;
  DeleteTree(path_);
  ::CreateDirectoryW(path_.c_str(), nullptr);
  const std::wstring exe = EnvOr(L"VALMORA_EXE", L"");
  if (!::CopyFileW(exe.c_str(), Exe().c_str(), FALSE)) ADD_FAILURE() << "cannot copy Valmora.exe";
}

TestFolder::~TestFolder() {
  if (!::testing::Test::HasFailure()) DeleteTree(path_);  // kept for a look when a test fails
}

void TestFolder::WriteFile(const std::wstring& name, const std::string& bytes) const {
  std::ofstream out(std::filesystem::path(path_ + L"\\" + name), std::ios::binary);
  out << bytes;
}

std::vector<std::wstring> TestFolder::Files() const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  valmora::UniqueFind find(::FindFirstFileW((path_ + L"\\*").c_str(), &data));
  if (!find) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
  } while (::FindNextFileW(find.get(), &data));
  return names;
}

void Registrations::RegisterWatch(const TestFolder& folder) {
  valmora::Win32RegistryApi api;
  valmora::WriteRegValue(api, valmora::WatchRunCommand(folder.Path(), L"Valmora"), valmora::kHkeyCurrentUser,
                         valmora::kRunKey, L"Valmora", true);
}

void Registrations::Clear() {
  valmora::Win32RegistryApi api;
  valmora::DeleteRegEntry(api, valmora::kHkeyCurrentUser, valmora::kRunKey, L"Valmora");
  valmora::DeleteRegEntry(api, valmora::kHkeyCurrentUser, valmora::kRunOnceKey, L"Valmora");
}

Process::Process(const std::wstring& exe, const std::wstring& arguments, bool quotePath) {
  const std::wstring program = quotePath ? L"\"" + exe + L"\"" : exe;
  std::wstring commandLine = program + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info_)) {
    ADD_FAILURE() << "cannot start Valmora.exe, error " << ::GetLastError();
  }
}

Process::~Process() {
  if (!info_.hProcess) return;
  if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(info_.hProcess, 99);
    ::WaitForSingleObject(info_.hProcess, 5000);
  }
  ::CloseHandle(info_.hThread);
  ::CloseHandle(info_.hProcess);
}

DWORD Process::WaitForExit(std::chrono::milliseconds timeout) {
  if (!info_.hProcess) return STILL_ACTIVE;
  ::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count()));
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

namespace {

struct WindowSearch {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  wchar_t name[64];
  if (pid == search->pid && ::IsWindowVisible(window) && ::GetClassNameW(window, name, 64) &&
      wcscmp(name, search->className) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND VisibleWindowOf(DWORD processId, const wchar_t* className) {
  WindowSearch search{processId, className, nullptr};
  ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Process::WaitForWindow(const wchar_t* className, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    if (HWND found = VisibleWindowOf(info_.dwProcessId, className)) return found;
    std::this_thread::sleep_for(50ms);
  } while (std::chrono::steady_clock::now() < deadline);
  return nullptr;
}

HWND Process::WaitForNewWindow(const wchar_t* className, HWND seen, std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] {
    found = WaitForWindow(className, 100ms);
    return found && found != seen;
  }, timeout);
  return found != seen ? found : nullptr;
}

HWND Process::WaitForMessageSaying(const std::wstring& text, std::chrono::milliseconds timeout) const {
  namespace msgbox = valmora::msgbox_ids;
  HWND found = nullptr;
  const bool said = WaitUntil([&] {
    found = WaitForWindow(msgbox::kWindowClass, 100ms);
    return found && Text(::GetDlgItem(found, msgbox::kTxtMessage)) == text;
  }, timeout);
  return said ? Ready(found) : nullptr;
}

void Dpi::Set(DWORD dpi) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
    return;
  }
  ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  ::RegCloseKey(key);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

HWND Idle(HWND main) {
  if (!WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(main, valmora::ids::kCmdGetCurr)) != FALSE; })) {
    ADD_FAILURE() << "the main window's commands stayed locked";
  }
  return main;
}

HWND Ready(HWND window) {
  for (int i = 0; window && i < 100 && !::IsChild(window, FocusOf(window)); ++i) std::this_thread::sleep_for(20ms);
  return window;
}

namespace {

BOOL CALLBACK FirstVisibleEdit(HWND child, LPARAM lParam) {
  wchar_t name[32];
  if (::GetClassNameW(child, name, 32) && _wcsicmp(name, L"Edit") == 0 && ::IsWindowVisible(child)) {
    *reinterpret_cast<HWND*>(lParam) = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindEdit(HWND dialog) {
  HWND edit = nullptr;
  ::EnumChildWindows(dialog, FirstVisibleEdit, reinterpret_cast<LPARAM>(&edit));
  return edit;
}

void ChooseInFileDialog(HWND dialog, const std::wstring& path) {
  HWND edit = FindEdit(dialog);
  ASSERT_NE(edit, nullptr);
  SendBounded(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PressDialogButton(dialog, IDOK);
}

SessionEndQuery::SessionEndQuery(HWND main)
    : thread_([this, main] {
        ::SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 180000, &answer_);
      }) {}

SessionEndQuery::~SessionEndQuery() {
  if (thread_.joinable()) thread_.join();
}

DWORD_PTR SessionEndQuery::Answer() {
  if (thread_.joinable()) thread_.join();
  return answer_;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

std::optional<LRESULT> SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   std::chrono::milliseconds bound) {
  DWORD_PTR answer = 0;
  if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(bound.count()), &answer)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(answer);
}

std::wstring Text(HWND window) {
  const LRESULT length = SendBounded(window, WM_GETTEXTLENGTH, 0, 0).value_or(0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = SendBounded(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())).value_or(0);
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::wstring MessageBoxText(HWND box) {
  constexpr int kMessageTextId = 0xFFFF;
  return Text(::GetDlgItem(box, kMessageTextId));
}

void Press(HWND button) { SendBounded(button, BM_CLICK, 0, 0); }

void PressDialogButton(HWND dialog, int id) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void Key(HWND window, WPARAM key, bool alt) {
  HWND target = FocusOf(window);
  const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN, up = alt ? WM_SYSKEYUP : WM_KEYUP;
  const LPARAM altBit = alt ? (1 << 29) : 0;
  ::PostMessageW(target ? target : window, down, key, 1 | altBit);
  ::PostMessageW(target ? target : window, up, key, 0xC0000001 | altBit);
  std::this_thread::sleep_for(300ms);
}

void ClickLink(HWND link) {
  const LPARAM at = MAKELPARAM(6, 6);
  ::PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(link, WM_LBUTTONUP, 0, at);
  std::this_thread::sleep_for(300ms);
}

namespace {

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT MouseInput(DWORD flags, LONG x = 0, LONG y = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = x;
  input.mi.dy = y;
  input.mi.dwFlags = flags;
  return input;
}

}  // namespace

bool ClickHolding(HWND control, WORD held) {
  HWND top = ::GetAncestor(control, GA_ROOT);
  if (!WaitUntil([control] { return ::IsWindowVisible(control) && ::IsWindowEnabled(control); }, 5s)) return false;
  // Keys go to the focus of the foreground window's thread, the click to the
  // window under the pointer: both must be the program's, and its thread
  // done with the activation before the input comes.
  ::SetForegroundWindow(top);
  if (!WaitUntil([top] { return ::GetForegroundWindow() == top && ::IsChild(top, FocusOf(top)); }, 5s)) return false;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(top, &pid);
  if (valmora::UniqueKernelHandle process{::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid)}) {
    ::WaitForInputIdle(process.get(), 5000);
  }
  RECT rect;
  ::GetWindowRect(control, &rect);
  // Absolute positions run from 0 to 65535 across the primary screen.
  const LONG x = ::MulDiv((rect.left + rect.right) / 2, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
  const LONG y = ::MulDiv((rect.top + rect.bottom) / 2, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  std::vector<INPUT> inputs;
  if (held) inputs.push_back(KeyInput(held, false));
  inputs.push_back(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y));
  inputs.push_back(MouseInput(MOUSEEVENTF_LEFTDOWN));
  inputs.push_back(MouseInput(MOUSEEVENTF_LEFTUP));
  if (held) inputs.push_back(KeyInput(held, true));
  return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool IsPressed(HWND toggle) {
  return SendBounded(toggle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

namespace {
constexpr wchar_t kInternational[] = L"Control Panel\\International";
}  // namespace

LocaleOverride::LocaleOverride(const wchar_t* name, const std::wstring& value) : name_(name) {
  valmora::Win32RegistryApi api;
  old_ = valmora::ReadRegValue(api, valmora::kHkeyCurrentUser, kInternational, name);
  valmora::WriteRegValue(api, value, valmora::kHkeyCurrentUser, kInternational, name_, true);
}

LocaleOverride::~LocaleOverride() {
  valmora::Win32RegistryApi api;
  if (old_.empty()) {
    valmora::DeleteRegEntry(api, valmora::kHkeyCurrentUser, kInternational, name_);
  } else {
    valmora::WriteRegValue(api, old_, valmora::kHkeyCurrentUser, kInternational, name_, true);
  }
}

void Screenshot(HWND window, const std::wstring& name) {
  const std::wstring folder = EnvOr(L"VALMORA_SHOTS", L"");
  if (folder.empty()) return;
  std::this_thread::sleep_for(300ms);  // let the window finish painting
  RECT rect;
  ::GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;

  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory, old);

  const DWORD stride = ((width * 3 + 3) / 4) * 4;
  const DWORD imageSize = stride * height;
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize), 0,
                        0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  std::ofstream out(std::filesystem::path(folder + L"\\" + name + L".bmp"), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), imageSize);

  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

std::string ReadBytes(const std::wstring& path) {
  valmora::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (file && ::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  return bytes;
}

}  // namespace e2e
