#include "doclog/previous_log.h"

#include <gtest/gtest.h>

#include "testing/fakes.h"

namespace valmora {
namespace {

TEST(PreviousLogPath, SitsBesideTheLogWithItsName) {
  EXPECT_EQ(PreviousLogPath(L"C:\\V\\Valmora.txt"), L"C:\\V\\Valmora.previous.txt");
  EXPECT_EQ(PreviousLogPath(L"C:\\My.Tools\\Valmora.txt"), L"C:\\My.Tools\\Valmora.previous.txt");
  EXPECT_EQ(PreviousLogPath(L"C:\\My.Tools\\log"), L"C:\\My.Tools\\log.previous");
}

// The run's first write of the log keeps the old one byte for byte (an
// encoding of its own included); no later write and no other file does.
TEST(PreviousLogKeeper, TheFirstWriteOfARunKeepsTheLogAnEarlierRunWrote) {
  testing::FakeFileSystem files;
  std::wstring logPath;  // fixed by start-up after the keeper is made
  PreviousLogKeeper fs(files, logPath);
  logPath = L"C:\\V\\Valmora.txt";
  const std::string earlier = "\xEF\xBB\xBF" "05/12/2026 14:07\r\nC:\\D\\Caf\xC3\xA9.xlsx\r\n";
  files.files[logPath] = earlier;
  files.files[L"C:\\V\\Valmora.previous.txt"] = "the session before";

  EXPECT_TRUE(fs.ReplaceAtomically(L"C:\\V\\other.txt", "x"));
  EXPECT_EQ(files.files[L"C:\\V\\Valmora.previous.txt"], "the session before");
  EXPECT_TRUE(fs.ReplaceAtomically(logPath, "first"));
  EXPECT_EQ(files.files[L"C:\\V\\Valmora.previous.txt"], earlier);
  EXPECT_TRUE(fs.ReplaceAtomically(logPath, "second"));
  EXPECT_EQ(files.files[L"C:\\V\\Valmora.previous.txt"], earlier);
  EXPECT_EQ(files.files[logPath], "second");

  // A first run, with no log yet, has nothing to keep.
  testing::FakeFileSystem fresh;
  PreviousLogKeeper first(fresh, logPath);
  EXPECT_TRUE(first.ReplaceAtomically(logPath, "first"));
  EXPECT_FALSE(fresh.files.contains(L"C:\\V\\Valmora.previous.txt"));
}

}  // namespace
}  // namespace valmora
