// The central call into scanning and reopening, as its callers see it.
#pragma once

namespace valmora {

struct GoFlags {
  bool pblnGetCurr = false;
  bool pblnWatch = false;
  bool pblnInShutdown = false;
  bool pblnListUnsaved = false;
  bool pblnReopenE = false;
  bool pblnReopenW = false;
  bool pblnReopenO = false;
  bool pblnReopenN = false;

  friend bool operator==(const GoFlags&, const GoFlags&) = default;
};

// Scan quietly and overwrite the log (watch tick, /shutdown, watch start).
inline constexpr GoFlags kQuietScan{true, true, false, false, true, true, true, true};
// Reopen every logged item, as start-up does after a Yes.
inline constexpr GoFlags kStartupReopen{false, true, false, false, true, true, true, true};

class DocumentScanner {
 public:
  virtual ~DocumentScanner() = default;
  virtual void Go(const GoFlags& flags) = 0;
  virtual void InShutdown() = 0;
};

}  // namespace valmora
