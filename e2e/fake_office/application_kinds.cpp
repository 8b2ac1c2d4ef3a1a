#include "application_kinds.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace fake_office {
namespace {

constexpr ApplicationKind kKinds[] = {
    {"Excel", "workbook", "Workbooks", "Workbook", "Microsoft Excel", L"XLMAIN", true, true, false, true},
    {"Word", "document", "Documents", "Document", "Microsoft Word", L"OpusApp", true, true, false, true},
    {"PowerPoint", "presentation", "Presentations", "Presentation", "Microsoft PowerPoint", L"PPTFrameClass", true,
     true, true, false},
    {"Outlook", "", "Inspectors", "Inspector", "Microsoft Outlook", L"rctrl_renwnd32", true, false, false, false},
    // Some other program that registers its files in the Running Object Table
    // and whose name a careless client could take for Excel's.
    {"Other", "document", "Workbooks", "Workbook", "Contoso Excel Viewer", nullptr, false, false, false, true},
};

bool SameText(const std::string& a, const char* b) {
  return std::equal(a.begin(), a.end(), b, b + std::char_traits<char>::length(b),
                    [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

}  // namespace

const ApplicationKind* FindApplicationKind(const std::string& name) {
  const auto found = std::find_if(std::begin(kKinds), std::end(kKinds), [&](const ApplicationKind& kind) {
    return SameText(name, kind.name);
  });
  return found != std::end(kKinds) ? found : nullptr;
}

std::string ApplicationSections() {
  std::string list;
  for (size_t i = 0; i < std::size(kKinds); ++i) {
    if (i > 0) list += i + 1 == std::size(kKinds) ? " or " : ", ";
    list += "[" + std::string(kKinds[i].name) + "]";
  }
  return list;
}

}  // namespace fake_office
