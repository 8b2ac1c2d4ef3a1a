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

}  // namespace
}  // namespace valmora
