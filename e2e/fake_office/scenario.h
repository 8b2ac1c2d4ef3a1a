// What one fake Office application holds, read from a small text file.
// Portable: no <windows.h>; text stays UTF-8 until the server serves it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fake_office {

// kBusy, kRejected, kIgnored and kIgnoredException turn calls away with
// the answers a busy Office gives: RPC_E_SERVERCALL_RETRYLATER,
// RPC_E_CALL_REJECTED, 0x800AC472 (VBA_E_IGNORE) as the result, or
// DISP_E_EXCEPTION with 0x800AC472 in the EXCEPINFO.
enum class FaultKind { kNone, kFails, kBusy, kRejected, kIgnored, kIgnoredException, kHangs, kExits };

struct Fault {
  FaultKind kind = FaultKind::kNone;
  int times = 0;  // the kinds that turn calls away: how many are
};

// Keyed by the member's canonical name ("Saved", "_NewEnum").
using Faults = std::map<std::string, Fault>;

struct DateTime {
  int year = 2026, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// A workbook (Excel), a document (Word) or a presentation (PowerPoint).
struct Document {
  std::string fullName, path, name;
  bool saved = true;
  bool visible = true;  // of its first window (Excel, Word)
  int windows = 1;      // PowerPoint: how many windows it has; 0 for a windowless one
  Faults faults;
};

// An Outlook item, shown in an inspector or only stored in a folder.
struct MailItem {
  std::string entryId, subject, folder = "Inbox";
  bool saved = true;
  DateTime creationTime;
  Faults faults;  // also the inspector's CurrentItem
};

// Every incoming call from the fromCall-th on is turned away, for good.
struct TurnedAwayFrom {
  FaultKind kind = FaultKind::kNone;  // kBusy, kRejected or kIgnored; kNone: never
  int fromCall = 0;                   // 1-based, counted as busy N counts
};

struct Application {
  std::string name;   // "Excel", "Word", "PowerPoint", "Outlook" or "Other"
  std::string title;  // its Name: "Microsoft Excel"; an Other's is set by "name ="
  int busy = 0;       // the first incoming calls rejected as busy
  TurnedAwayFrom turnedAway;
  bool registers = true;           // in the Running Object Table at all ("register off": nothing)
  bool registersDocuments = true;  // each document in the Running Object Table ("rot off": none)
  bool visible = true;             // the application's own Visible
  Faults faults;     // members of the application, its namespace and its main collection
  std::vector<Document> documents;
  std::vector<MailItem> inspectors;   // in collection order
  std::vector<MailItem> storedItems;  // reachable only through GetItemFromID

  bool DocumentsInTable() const { return registers && registersDocuments; }
};

struct ParseResult {
  std::optional<Application> application;
  std::string error;  // "line N: ..." when application is empty
};

// The canonical application name for "excel", "WORD", "other", ...; empty when unknown.
std::string CanonicalApplication(const std::string& name);

// Reads the [name] section of a scenario; a file without that section gives an
// application with nothing open.
ParseResult ParseScenario(const std::string& text, const std::string& applicationName);

}  // namespace fake_office
