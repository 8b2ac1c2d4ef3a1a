#include "record_format.h"

#include <gtest/gtest.h>

namespace shell_recorder {
namespace {

TEST(ShellRecorderRequest, StripsOnlyTheQuotesTheRegistrationAdds) {
  const struct {
    std::wstring arguments, request;
  } cases[] = {
      {L"--shell-open \"C:\\Data\\Q1 \u00e5r.xlsx\"", L"C:\\Data\\Q1 \u00e5r.xlsx"},
      {L"--shell-open \"mailto:a@b.example?Subject=A%20b\"", L"mailto:a@b.example?Subject=A%20b"},
      {L"--shell-open \"\"quoted\" inside\"", L"\"quoted\" inside"},
      {L"--shell-open C:\\bare.txt", L"C:\\bare.txt"},
      {L"--shell-open", L""},
      // Started as a program: every argument as it came, trailing blanks too.
      {L"/x \"a  b\"  ", L"/x \"a  b\"  "},
      {L"--shell-opener \"x\"", L"--shell-opener \"x\""},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(RequestFromArguments(c.arguments), c.request);
}

TEST(ShellRecorderRecord, LinesRoundTripAndTornOnesAreLeftOut) {
  const RecordedRequest requests[] = {
      {L"C:\\Caf\u00e9 \u65e5\u672c\\a.docx", L"3", 133485312000000001ull},
      {L"tab\tin target", L"default", 7},
  };
  std::string bytes;
  for (const auto& request : requests) bytes += FormatRecordLine(request);
  const auto parsed = ParseRecord(bytes + "cut short\t1\t2");
  ASSERT_EQ(parsed.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(parsed[i].target, requests[i].target);
    EXPECT_EQ(parsed[i].show, requests[i].show);
    EXPECT_EQ(parsed[i].started, requests[i].started);
  }
  EXPECT_TRUE(ParseRecord("no fields\r\n\t1\r\nx\ty\tnot a number\r\n").empty());
}

TEST(ShellRecorderRecord, LivesBesideTheRecorder) {
  EXPECT_EQ(RecordPathFor(L"C:\\e2e.dir\\shell_recorder.exe"), L"C:\\e2e.dir\\shell_recorder.record");
  EXPECT_EQ(RecordPathFor(L"C:\\e2e.dir\\recorder"), L"C:\\e2e.dir\\recorder.record");
}

}  // namespace
}  // namespace shell_recorder
