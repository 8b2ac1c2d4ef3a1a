// How often each member of each interface was looked up by name and invoked.
// Portable, so the test harness reads the server's file with the same code.
#pragma once

#include <map>
#include <mutex>
#include <string>

namespace fake_office {

struct CallCount {
  long names = 0;    // GetIDsOfNames
  long invokes = 0;  // Invoke (IEnumVARIANT::Next counts as an invoke of Enum.Next)
  bool operator==(const CallCount&) const = default;
};

// Keyed "Interface.Member", e.g. "Workbook.Saved".
using CallCountMap = std::map<std::string, CallCount>;

struct CallCountReport {
  CallCountMap members;
  long rejected = 0;  // calls turned away as busy
};

// Thread-safe: the apartment counts while another thread writes the report.
class CallCounts {
 public:
  void CountName(const std::string& interfaceName, const std::string& member);
  void CountInvoke(const std::string& interfaceName, const std::string& member);
  void CountRejected();
  void Reset();
  // One line per member: "Interface Member names invokes", then "rejected N".
  std::string Format() const;

 private:
  mutable std::mutex mutex_;
  CallCountReport report_;
};

CallCountReport ParseCallCounts(const std::string& text);

}  // namespace fake_office
