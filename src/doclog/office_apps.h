// Everything that differs between Excel, Word, PowerPoint and Outlook, in one
// table: how the program names each, how its object model is reached, how its
// lines look in the log, and where its counts and flags live.
#pragma once

#include <array>
#include <span>
#include <string>

#include "doclog/go.h"
#include "doclog/log_line.h"
#include "doclog/office.h"
#include "doclog/scan_tally.h"

namespace valmora {

struct OfficeAppTraits {
  OfficeApp app;
  const wchar_t* label;            // "Excel", as the summaries and notices say it
  const wchar_t* applicationName;  // its application object's Name, matched exactly
  const wchar_t* progId;
  const wchar_t* collection;  // the application's member listing what is open
  const wchar_t* element;     // the kind of its elements
  const wchar_t* windowClass;  // its main window's: there while it runs, attachable or not
  bool hasVisible;             // whether its application object tells if the user sees it
  LineKind kind;
  // Written before a scanned entry whose extension does not say whose it is.
  const wchar_t* prefix;
  // The extensions of files it may have open, lower case; "" stands for a
  // name without one (a document never saved).
  std::span<const wchar_t* const> extensions;
  const wchar_t* noun;  // "doc", "item"
  bool GoFlags::*reopen;
  AppTally ScanTally::*tally;
  bool GoState::*isNew;
};

const OfficeAppTraits& Traits(OfficeApp app);

// The order of the log, the summaries and the notices.
inline constexpr std::array<OfficeApp, kOfficeApps> kOfficeAppsInOrder{OfficeApp::Excel, OfficeApp::Word,
                                                                       OfficeApp::PowerPoint, OfficeApp::Outlook};

// The application a log line of this kind belongs to; nothing for a date,
// a blank or a hand-added line.
const OfficeAppTraits* TraitsOf(LineKind kind);

// Whether a document the Running Object Table lists under this name may be
// one of the application's, decided from the name alone: asking the object
// would be a call into whichever program registered it.
bool MayOwn(OfficeApp app, const std::wstring& displayName);

// The log line of a document the application has open: its full name, with
// the application's prefix unless the name alone already classifies as its.
std::wstring ScannedLine(OfficeApp app, const std::wstring& fullName, const Locale& locale);

// What a log line of the application names: the line without its prefix.
std::wstring EntryTarget(const OfficeAppTraits& traits, const std::wstring& line);

}  // namespace valmora
