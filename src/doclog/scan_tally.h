// What one scan counted, and the texts made from the counts.
#pragma once

#include <string>

#include "doclog/office.h"

namespace valmora {

struct AppTally {
  int open = 0;     // logged entries (also those beyond the 100 that were not stored)
  int created = 0;  // NEW: never saved, but changed
  int unsaved = 0;  // saved before, changed since
  bool hasNew = false;
};

struct ScanTally {
  AppTally excel, word, powerPoint, outlook;
  const AppTally& For(OfficeApp app) const;
  AppTally& For(OfficeApp app);
  bool AnyUnsaved() const;
};

// A line per application for the notification icon's tip.
std::wstring ShortSummary(const ScanTally& tally);
// A line per application for the main window's label.
std::wstring LongSummary(const ScanTally& tally);

// The notices shown after a scan. The names are the user's own: every one
// is shown exactly as it is.
std::wstring NeverSavedNotice(const ScanTally& tally, const std::wstring& newItemNames);
std::wstring UnsavedList(const std::wstring& unsavedNames);
std::wstring ShutdownWarning(bool newExcel, bool newWord, bool newPowerPoint);

}  // namespace valmora
