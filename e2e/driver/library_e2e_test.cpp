// The Windows implementations of the library routines, against the real
// (Wine) registry, file system, locale and message queue.
#include <gtest/gtest.h>

#include "doclog/locale_win32.h"
#include "doclog/log_line.h"
#include "harness.h"
#include "library/file_system_win32.h"
#include "library/pause.h"
#include "library/registry.h"
#include "library/registry_win32.h"
#include "library/unique_handle_win32.h"

namespace e2e {
namespace {

using valmora::kHkeyCurrentUser;

constexpr wchar_t kTestKey[] = L"Software\\ValmoraE2E";

class RegistryE2E : public ::testing::Test {
 protected:
  void TearDown() override { valmora::DeleteRegEntry(api, kHkeyCurrentUser, kTestKey, L""); }
  valmora::Win32RegistryApi api;
};

TEST_F(RegistryE2E, RoundTripsTextOfAnyLengthAndScript) {
  const std::wstring values[] = {
      L"\"C:\\Users\\\u00e5sa\\\u65e5\u672c\\Valmora.exe\" /watch",
      L"\"C:\\" + std::wstring(5000, L'x') + L"\\Valmora.exe\" /watch",
      L" ",
  };
  for (const std::wstring& value : values) {
    ASSERT_TRUE(valmora::WriteRegValue(api, value, kHkeyCurrentUser, std::wstring(kTestKey) + L"\\Run\\", L"Valmora",
                                       true));
    EXPECT_EQ(valmora::ReadRegValue(api, kHkeyCurrentUser, std::wstring(kTestKey) + L"\\Run", L"Valmora"), value);
  }
  ASSERT_TRUE(valmora::WriteRegValue(api, L"", kHkeyCurrentUser, kTestKey, L"empty", true));
  EXPECT_EQ(valmora::ReadRegValue(api, kHkeyCurrentUser, kTestKey, L"empty"), L" ");
}

// Readers of REG_SZ expect the terminating NUL inside the stored bytes.
// (The platform also adds one that the count left out when the next
// character in memory is NUL, so this checks the bytes, not the count.)
TEST_F(RegistryE2E, StoresTextWithItsTerminatingNul) {
  for (const std::wstring value : {L"\"C:\\V\\Valmora.exe\" /watch", L""}) {
    ASSERT_TRUE(valmora::WriteRegValue(api, value, kHkeyCurrentUser, kTestKey, L"v", true));
    const std::wstring expected = (value.empty() ? L" " : value) + L'\0';
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    DWORD type = 0;
    wchar_t data[64] = {};
    DWORD size = sizeof data;
    EXPECT_EQ(::RegQueryValueExW(key, L"v", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(size, expected.size() * sizeof(wchar_t)) << value;
    EXPECT_EQ(std::wstring(data, expected.size()), expected);
  }
}

TEST_F(RegistryE2E, DeletesValuesAndWholeTrees) {
  const std::wstring deep = std::wstring(kTestKey) + L"\\a\\b\\c";
  ASSERT_TRUE(valmora::WriteRegValue(api, L"1", kHkeyCurrentUser, deep, L"v", true));
  ASSERT_TRUE(valmora::WriteRegValue(api, L"2", kHkeyCurrentUser, std::wstring(kTestKey) + L"\\d", L"v", true));

  EXPECT_FALSE(valmora::DeleteRegEntry(api, kHkeyCurrentUser, deep, L"missing"));
  EXPECT_TRUE(valmora::DeleteRegEntry(api, kHkeyCurrentUser, deep, L"v"));
  EXPECT_TRUE(valmora::DeleteRegEntry(api, kHkeyCurrentUser, std::wstring(kTestKey) + L"\\nokey", L"v"));

  EXPECT_TRUE(valmora::DeleteRegEntry(api, kHkeyCurrentUser, kTestKey, L""));
  EXPECT_FALSE(api.OpenKey(kHkeyCurrentUser, kTestKey, valmora::RegistryApi::Access::Read).has_value());
}

// Blanks round a subkey's name are part of it: the deletion must neither
// trim them (and miss the key) nor stall on it. A subkey that cannot be
// opened is left to the unit tests: Wine does not enforce a key's security.
TEST_F(RegistryE2E, DeletesSubkeysByTheirExactNames) {
  const std::wstring root = kTestKey;
  for (const wchar_t* path : {L"\\ padded \\x", L"\\ padded ", L"\\padded\\y"}) {
    const auto key = api.CreateKey(kHkeyCurrentUser, root + path);
    ASSERT_TRUE(key.has_value()) << path;
    api.CloseKey(*key);
  }
  EXPECT_TRUE(valmora::DeleteRegEntry(api, kHkeyCurrentUser, kTestKey, L""));
  EXPECT_FALSE(api.OpenKey(kHkeyCurrentUser, kTestKey, valmora::RegistryApi::Access::Read).has_value());
}

TEST_F(RegistryE2E, ProtectedKeysAreRefused) {
  // Keys of our own that carry the protected names, so a failed refusal costs nothing.
  for (const wchar_t* name : {L"Classes", L"CLSID", L"software", L"AppID", L"TypeLib", L"Interface"}) {
    const std::wstring key = std::wstring(kTestKey) + L"\\" + name;
    ASSERT_TRUE(valmora::WriteRegValue(api, L"kept", kHkeyCurrentUser, key + L"\\child", L"v", true));
    EXPECT_FALSE(valmora::DeleteRegEntry(api, kHkeyCurrentUser, key + L"\\", L"")) << name;
    EXPECT_EQ(valmora::ReadRegValue(api, kHkeyCurrentUser, key + L"\\child", L"v"), L"kept") << name;
  }
}

std::wstring QueryDirectly(HKEY root, const std::wstring& key, const std::wstring& name) {
  wchar_t data[1024];
  DWORD size = sizeof data;
  if (::RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return {};
  return data;
}

// Every predefined root key reaches the platform as its own handle: on
// 64-bit Windows that is the 32-bit number sign-extended. (Wine also takes
// the number as it is, so the reads alone would not show a wrong handle.)
TEST_F(RegistryE2E, ReadsUnderEveryPredefinedRootKey) {
  const std::pair<valmora::RegHive, HKEY> roots[] = {
      {valmora::kHkeyClassesRoot, HKEY_CLASSES_ROOT}, {valmora::kHkeyCurrentUser, HKEY_CURRENT_USER},
      {valmora::kHkeyLocalMachine, HKEY_LOCAL_MACHINE}, {valmora::kHkeyUsers, HKEY_USERS},
      {valmora::kHkeyCurrentConfig, HKEY_CURRENT_CONFIG},
  };
  for (const auto& [hive, root] : roots) EXPECT_EQ(valmora::ToPlatformKey(hive), root) << std::hex << hive;

  struct Case {
    valmora::RegHive hive;
    HKEY root;
    const wchar_t* key;
    const wchar_t* name;
  };
  const Case cases[] = {
      {valmora::kHkeyLocalMachine, HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion",
       L"ProductName"},
      {valmora::kHkeyClassesRoot, HKEY_CLASSES_ROOT, L"txtfile", L""},
      {valmora::kHkeyCurrentConfig, HKEY_CURRENT_CONFIG, L"Software\\Fonts", L"FONTS.FON"},
  };
  for (const Case& c : cases) {
    const std::wstring expected = QueryDirectly(c.root, c.key, c.name);
    ASSERT_FALSE(expected.empty()) << c.key << ": the prefix should hold this value";
    EXPECT_EQ(valmora::ReadRegValue(api, c.hive, c.key, c.name), expected) << c.key;
  }

  // HKEY_USERS holds the current user's hive under its SID.
  ASSERT_TRUE(valmora::WriteRegValue(api, L"here", kHkeyCurrentUser, kTestKey, L"marker", true));
  int found = 0;
  for (std::uint32_t index = 0; const auto sid = api.EnumSubkey(valmora::kHkeyUsers, index); ++index) {
    if (valmora::ReadRegValue(api, valmora::kHkeyUsers, *sid + L"\\" + kTestKey, L"marker") == L"here") ++found;
  }
  EXPECT_EQ(found, 1);
}

TEST(PauseE2E, ReturnsAtOnceForNothingAndWaitsOtherwise) {
  for (int ms : {0, -1, INT32_MIN}) {
    const ULONGLONG start = ::GetTickCount64();
    valmora::Pause(ms, true);
    EXPECT_LT(::GetTickCount64() - start, 1000u) << ms;  // would be weeks if it waited
  }
  const ULONGLONG start = ::GetTickCount64();
  valmora::Pause(300, false);
  EXPECT_GE(::GetTickCount64() - start, 290u);
}

TEST(PauseE2E, HandlesWindowEventsWhenAskedAndKeepsAQuit) {
  static int handled = 0;
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_APP) ++handled;
    return ::DefWindowProcW(h, m, w, l);
  };
  wc.lpszClassName = L"PauseProbe";
  ::RegisterClassW(&wc);
  HWND probe = ::CreateWindowW(L"PauseProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(probe, nullptr);

  ::PostMessageW(probe, WM_APP, 0, 0);
  valmora::Pause(100, false);
  EXPECT_EQ(handled, 0);
  valmora::Pause(100, true);
  EXPECT_EQ(handled, 1);

  ::PostQuitMessage(7);
  valmora::Pause(5000, true);  // ends early at the quit and leaves it queued
  MSG msg;
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  ::DestroyWindow(probe);
}

TEST(LocaleE2E, DateLinesOfThisLocaleParseAndPathsDoNot) {
  const valmora::Win32Locale locale;
  const std::wstring dateLine = valmora::FormatDateLine({2026, 12, 5, 14, 7, 0}, locale);
  EXPECT_EQ(dateLine, L"12/5/2026 14:07");  // a fresh prefix is en-US
  EXPECT_EQ(valmora::ClassifyLogLine(dateLine, locale), valmora::LineKind::DateLine);
  struct Case {
    const wchar_t* line;
    valmora::LineKind kind;
  };
  const Case cases[] = {
      {L"C:\\Data\\Report.DOCX", valmora::LineKind::WordEntry},
      {L"C:\\Data\\b.XLSB", valmora::LineKind::ExcelEntry},
      {L"C:\\Data\\notes.txt", valmora::LineKind::OtherEntry},
      {L"Outlook:00AB'12/05/26 Lunch", valmora::LineKind::OutlookEntry},
      {L"", valmora::LineKind::BlankLine},
      {L"Mittagessen", valmora::LineKind::OtherEntry},
  };
  for (const Case& c : cases) EXPECT_EQ(valmora::ClassifyLogLine(c.line, locale), c.kind) << c.line;
  EXPECT_EQ(locale.ToAnsi(L"caf\u00e9"), std::string("caf\xe9"));
  EXPECT_FALSE(locale.ToAnsi(L"\u65e5").has_value());
}

TEST(FileSystemE2E, ReplacesAtomicallyAndLeavesNothingBehind) {
  TestFolder folder(L"fs");
  valmora::Win32FileSystem fs;
  const std::wstring log = folder.Log();
  ASSERT_TRUE(fs.ReplaceAtomically(log, "old\r\n"));
  ASSERT_TRUE(fs.ReplaceAtomically(log, "new\r\n"));
  EXPECT_EQ(fs.ReadAll(log), std::string("new\r\n"));
  EXPECT_FALSE(fs.FindsAnyEntry(valmora::Win32FileSystem::TemporaryFor(log)));

  // A folder in the log's place cannot be replaced: it stays, and so does nothing else.
  const std::wstring blocked = folder.Path() + L"\\blocked.txt";
  ::CreateDirectoryW(blocked.c_str(), nullptr);
  EXPECT_FALSE(fs.ReplaceAtomically(blocked, "x"));
  EXPECT_FALSE(fs.FindsAnyEntry(valmora::Win32FileSystem::TemporaryFor(blocked)));
  EXPECT_FALSE(fs.FindsPlainFile(blocked));
  EXPECT_TRUE(fs.FindsAnyEntry(blocked));
  EXPECT_TRUE(fs.FindsPlainFile(folder.Path() + L"\\*.txt"));
  ::RemoveDirectoryW(blocked.c_str());
}

// A replacement waits only for what can pass with time: a read-only log or
// a folder in its place fails at once and stays as it is; a log held open
// for a moment (a scanner) is replaced once it is let go.
TEST(FileSystemE2E, RetriesOnlyWhatCanPassWithTime) {
  TestFolder folder(L"fsretry");
  const std::wstring log = folder.Log();
  int pauses = 0;
  valmora::UniqueFile holder;
  valmora::Win32FileSystem fs([&](unsigned long) {
    if (++pauses == 2) holder.reset();  // let go while the replacement waits
  });
  ASSERT_TRUE(fs.ReplaceAtomically(log, "old\r\n"));

  ASSERT_TRUE(::SetFileAttributesW(log.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(fs.ReplaceAtomically(log, "new\r\n"));
  EXPECT_EQ(pauses, 0);
  EXPECT_EQ(ReadBytes(log), "old\r\n");
  EXPECT_FALSE(fs.FindsAnyEntry(valmora::Win32FileSystem::TemporaryFor(log)));
  ASSERT_TRUE(::SetFileAttributesW(log.c_str(), FILE_ATTRIBUTE_NORMAL));

  const std::wstring folderInPlace = folder.Path() + L"\\folder.txt";
  ::CreateDirectoryW(folderInPlace.c_str(), nullptr);
  EXPECT_FALSE(fs.ReplaceAtomically(folderInPlace, "x"));
  EXPECT_EQ(pauses, 0);
  ::RemoveDirectoryW(folderInPlace.c_str());

  holder.reset(::CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_TRUE(fs.ReplaceAtomically(log, "new\r\n"));
  EXPECT_EQ(pauses, 2);
  EXPECT_EQ(ReadBytes(log), "new\r\n");
}

}  // namespace
}  // namespace e2e
