// What the scan and the reopen see of Excel, Word, PowerPoint and Outlook: snapshots,
// each field either read or not, gathered by the automation layer in one trip.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "doclog/locale.h"

namespace valmora {

enum class OfficeApp { Excel, Word, PowerPoint, Outlook };
inline constexpr int kOfficeApps = 4;

// How the gathering of one application ended.
enum class AppState {
  NotRunning,   // nothing to attach to and no window of it: it contributes nothing
  Read,         // every step of the pass succeeded: this is all it has open
  GaveUp,       // anything less (busy, hung, a field unread): what the log holds of it stays
  Unreachable,  // its window is there but it cannot be attached (run as administrator,
                // or not registered yet): what the log holds of it stays
};

// Whether a snapshot is all the application has open.
inline bool Answered(AppState state) { return state == AppState::Read || state == AppState::NotRunning; }

// A workbook, a document or a presentation.
struct OfficeDocument {
  std::optional<bool> firstWindowVisible;  // Windows(1).Visible; for a presentation, any window
  std::optional<std::wstring> path;
  std::optional<bool> saved;
  std::optional<std::wstring> name;
  std::optional<std::wstring> fullName;
};

// The item shown in an Outlook inspector.
struct OutlookItem {
  std::optional<std::wstring> entryId;
  std::optional<bool> saved;
  std::optional<std::wstring> subject;
  std::optional<LocalTime> creationTime;
};

struct AppSnapshot {
  AppState state = AppState::NotRunning;
  std::vector<OfficeDocument> documents;  // Excel, Word, PowerPoint: in collection order
  std::vector<OutlookItem> items;         // Outlook: in the order of its inspectors
};

// What Outlook said of a logged item. Giving up on a slow or busy Outlook
// is not hearing that the item is gone.
enum class LookupAnswer { Found, NotFound, GaveUp };

struct OutlookLookup {
  LookupAnswer answer = LookupAnswer::NotFound;
  std::wstring folderName;  // its Parent's Name, e.g. "Deleted Items"
};

class OfficeAutomation {
 public:
  virtual ~OfficeAutomation() = default;
  // Attaches to the running application (never starts one), reads every
  // element of its collection once, releases it. Each application has a
  // deadline of its own; one that hangs never holds up the caller for long.
  virtual AppSnapshot Gather(OfficeApp app) = 0;
  // The applications asked at the same time, as they live in processes of
  // their own: the whole costs about what the slowest costs. The snapshots
  // come in the order asked.
  virtual std::vector<AppSnapshot> GatherAll(std::span<const OfficeApp> apps) {
    std::vector<AppSnapshot> snapshots;
    for (OfficeApp app : apps) snapshots.push_back(Gather(app));
    return snapshots;
  }
  // Attaches to Outlook, or starts it when it is not running, then
  // GetNamespace("MAPI"), Logon, GetItemFromID(entryId), Parent.Name.
  virtual OutlookLookup FindOutlookItem(const std::wstring& entryId) = 0;
};

}  // namespace valmora
