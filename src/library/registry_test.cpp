#include "library/registry.h"

#include <gtest/gtest.h>

#include "testing/fakes.h"

namespace valmora {
namespace {

using testing::FakeRegistry;

TEST(Registry, WriteThenReadRoundTripsAndCreatesMissingKeys) {
  FakeRegistry reg;
  EXPECT_TRUE(WriteRegValue(reg, L"\"C:\\V\\Valmora.exe\" /watch", kHkeyCurrentUser, L"Software\\A\\B\\", L"Valmora", true));
  EXPECT_TRUE(reg.HasKey(L"Software\\A"));
  EXPECT_EQ(ReadRegValue(reg, kHkeyCurrentUser, L"  Software\\A\\B  ", L"Valmora"), L"\"C:\\V\\Valmora.exe\" /watch");
  EXPECT_EQ(reg.openHandles, 0);
}

TEST(Registry, EmptyTextIsStoredAsOneBlank) {
  FakeRegistry reg;
  ASSERT_TRUE(WriteRegValue(reg, L"", kHkeyCurrentUser, L"Software\\A", L"v", true));
  EXPECT_EQ(ReadRegValue(reg, kHkeyCurrentUser, L"Software\\A", L"v"), L" ");
}

TEST(Registry, NumbersAreStoredAsDwords) {
  FakeRegistry reg;
  ASSERT_TRUE(WriteRegValue(reg, L"255", kHkeyCurrentUser, L"Software\\A", L"n", false));
  EXPECT_EQ(ReadRegValue(reg, kHkeyCurrentUser, L"Software\\A", L"n"), L"&hFF");
  EXPECT_FALSE(WriteRegValue(reg, L"12abc", kHkeyCurrentUser, L"Software\\A", L"n", false));
}

TEST(Registry, RefusesEmptyKeyPaths) {
  FakeRegistry reg;
  for (const wchar_t* key : {L"", L"   ", L"\\", L" \\ "}) {
    EXPECT_FALSE(WriteRegValue(reg, L"x", kHkeyCurrentUser, key, L"v", true)) << key;
    EXPECT_EQ(ReadRegValue(reg, kHkeyCurrentUser, key, L"v"), L"") << key;
    EXPECT_FALSE(DeleteRegEntry(reg, kHkeyCurrentUser, key, L"v")) << key;
  }
  EXPECT_TRUE(reg.keys.empty());
}

TEST(Registry, MissingValuesAndKeys) {
  FakeRegistry reg;
  reg.Put(L"Software\\A", L"present", L"x");
  EXPECT_EQ(ReadRegValue(reg, kHkeyCurrentUser, L"Software\\A", L"absent"), L"");
  EXPECT_EQ(ReadRegValue(reg, kHkeyCurrentUser, L"Software\\Nope", L"present"), L"");
  EXPECT_TRUE(DeleteRegEntry(reg, kHkeyCurrentUser, L"Software\\Nope", L"present"));  // key missing counts as done
  EXPECT_FALSE(DeleteRegEntry(reg, kHkeyCurrentUser, L"Software\\A", L"absent"));
  EXPECT_TRUE(DeleteRegEntry(reg, kHkeyCurrentUser, L"Software\\A", L"present"));
  EXPECT_EQ(ReadRegValue(reg, kHkeyCurrentUser, L"Software\\A", L"present"), L"");
}

TEST(Registry, ProtectedKeyNamesAreNeverDeletedWhole) {
  FakeRegistry reg;
  reg.Put(L"Software\\Classes\\CLSID\\x", L"v", L"1");
  for (const wchar_t* key : {L"Software\\Classes\\CLSID\\", L"Software\\Classes\\", L"Software\\Classes\\clsid\\"}) {
    EXPECT_FALSE(DeleteRegEntry(reg, kHkeyCurrentUser, key, L"")) << key;
  }
  EXPECT_TRUE(reg.HasKey(L"Software\\Classes\\CLSID\\x"));
}

TEST(Registry, DeletesAKeyTreeDeepestFirst) {
  FakeRegistry reg;
  reg.Put(L"Software\\T\\a\\b\\c", L"v", L"1");
  reg.Put(L"Software\\T\\a\\d", L"v", L"2");
  reg.Put(L"Software\\T\\e", L"v", L"3");
  reg.Put(L"Software\\Keep", L"v", L"4");
  EXPECT_TRUE(DeleteRegEntry(reg, kHkeyCurrentUser, L"Software\\T", L""));
  EXPECT_FALSE(reg.HasKey(L"Software\\T"));
  EXPECT_FALSE(reg.HasKey(L"Software\\T\\a\\b\\c"));
  EXPECT_TRUE(reg.HasKey(L"Software\\Keep"));
  EXPECT_EQ(reg.openHandles, 0);
}

// Each subkey is tried once: one that cannot be opened stays and the result
// says so; a name with blanks round it is a name like any other.
TEST(Registry, DeletesEverySubkeyItCanAndReportsTheRest) {
  struct Case {
    const wchar_t* name;
    std::vector<const wchar_t*> subkeys;  // under Software\T
    const wchar_t* denied;                // a key of those that cannot be opened
    bool deleted;
  };
  const Case cases[] = {
      {L"blanks round a name", {L" a ", L"a\\b", L"c "}, nullptr, true},
      {L"a subkey denied", {L"a", L"locked", L"z"}, L"locked", false},
      {L"a grandchild denied", {L"a\\locked", L"a\\x", L"z"}, L"a\\locked", false},
  };
  for (const Case& c : cases) {
    FakeRegistry reg;
    for (const wchar_t* subkey : c.subkeys) reg.Put(std::wstring(L"Software\\T\\") + subkey, L"v", L"1");
    if (c.denied) reg.denied.insert(L"hkcu\\software\\t\\" + std::wstring(c.denied));

    EXPECT_EQ(DeleteRegEntry(reg, kHkeyCurrentUser, L"Software\\T", L""), c.deleted) << c.name;
    EXPECT_LT(reg.enumCalls, 20) << c.name;
    EXPECT_EQ(reg.HasKey(L"Software\\T"), !c.deleted) << c.name;
    for (const wchar_t* subkey : c.subkeys) {
      const std::wstring path = std::wstring(L"Software\\T\\") + subkey;
      const bool keep = c.denied && path == std::wstring(L"Software\\T\\") + c.denied;
      EXPECT_EQ(reg.HasKey(path), keep) << c.name << ": " << subkey;
    }
    EXPECT_EQ(reg.openHandles, 0) << c.name;
  }
}

}  // namespace
}  // namespace valmora
