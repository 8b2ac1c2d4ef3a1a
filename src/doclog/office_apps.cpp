#include "doclog/office_apps.h"

#include <algorithm>

#include "library/text.h"

namespace valmora {
namespace {

// What each application opens besides its own formats: text, web pages, the
// open formats. "xl*" stands for every extension that begins "xl"; "" for a
// name without one, a document never saved.
constexpr const wchar_t* kExcelExtensions[] = {L"xl*", L"csv", L"prn", L"txt", L"dif", L"slk", L"ods", L"xml",
                                               L"htm", L"html", L"mht", L"mhtml", L"dbf", L"iqy", L""};
constexpr const wchar_t* kWordExtensions[] = {L"do*", L"rtf", L"odt", L"txt", L"xml", L"htm", L"html", L"mht",
                                              L"mhtml", L"wps", L"wpd", L"pdf", L""};
constexpr const wchar_t* kPowerPointExtensions[] = {L"pp*", L"pot*", L"odp", L"thmx", L"xml", L""};

const OfficeAppTraits kTraits[] = {
    {OfficeApp::Excel, L"Excel", L"Microsoft Excel", L"Excel.Application", L"Workbooks", L"Workbook", L"XLMAIN", true,
     LineKind::ExcelEntry, kExcelPrefix, kExcelExtensions, L"doc", &GoFlags::pblnReopenE, &ScanTally::excel,
     &GoState::blnNewExcel},
    {OfficeApp::Word, L"Word", L"Microsoft Word", L"Word.Application", L"Documents", L"Document", L"OpusApp", true,
     LineKind::WordEntry, kWordPrefix, kWordExtensions, L"doc", &GoFlags::pblnReopenW, &ScanTally::word,
     &GoState::blnNewWord},
    {OfficeApp::PowerPoint, L"PowerPoint", L"Microsoft PowerPoint", L"PowerPoint.Application", L"Presentations",
     L"Presentation", L"PPTFrameClass", true, LineKind::PowerPointEntry, kPowerPointPrefix, kPowerPointExtensions,
     L"doc", &GoFlags::pblnReopenP, &ScanTally::powerPoint, &GoState::blnNewPowerPoint},
    {OfficeApp::Outlook, L"Outlook", L"Outlook", L"Outlook.Application", L"Inspectors", L"Inspector",
     L"rctrl_renwnd32", false, LineKind::OutlookEntry, kOutlookPrefix, {}, L"item", &GoFlags::pblnReopenO,
     &ScanTally::outlook, &GoState::blnNewOutlook},
};

// The extension of a path or a web address, lower case: what follows the
// last "." of its last part.
std::wstring Extension(const std::wstring& name) {
  const std::size_t part = name.find_last_of(L"\\/");
  const std::wstring last = part == std::wstring::npos ? name : name.substr(part + 1);
  const std::size_t dot = last.rfind(L'.');
  return dot == std::wstring::npos ? L"" : ToLower(last.substr(dot + 1));
}

}  // namespace

const OfficeAppTraits& Traits(OfficeApp app) { return kTraits[static_cast<int>(app)]; }

const OfficeAppTraits* TraitsOf(LineKind kind) {
  const auto found =
      std::find_if(std::begin(kTraits), std::end(kTraits), [kind](const OfficeAppTraits& t) { return t.kind == kind; });
  return found == std::end(kTraits) ? nullptr : &*found;
}

bool MayOwn(OfficeApp app, const std::wstring& displayName) {
  const std::wstring ext = Extension(displayName);
  return std::any_of(Traits(app).extensions.begin(), Traits(app).extensions.end(), [&](const wchar_t* own) {
    const std::wstring_view mine(own);
    if (mine.ends_with(L'*')) return ext.starts_with(mine.substr(0, mine.size() - 1));
    return ext == mine;
  });
}

std::wstring ScannedLine(OfficeApp app, const std::wstring& fullName, const Locale& locale) {
  const OfficeAppTraits& traits = Traits(app);
  const std::wstring line = OneLine(fullName);
  return ClassifyLogLine(line, locale) == traits.kind ? line : traits.prefix + line;
}

std::wstring EntryTarget(const OfficeAppTraits& traits, const std::wstring& line) {
  const std::wstring_view prefix(traits.prefix);
  return StartsWithNoCase(line, traits.prefix) ? line.substr(prefix.size()) : line;
}

}  // namespace valmora
