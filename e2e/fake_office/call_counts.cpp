#include "call_counts.h"

#include <sstream>

namespace fake_office {

void CallCounts::CountName(const std::string& interfaceName, const std::string& member) {
  std::lock_guard lock(mutex_);
  ++report_.members[interfaceName + "." + member].names;
}

void CallCounts::CountInvoke(const std::string& interfaceName, const std::string& member) {
  std::lock_guard lock(mutex_);
  ++report_.members[interfaceName + "." + member].invokes;
}

void CallCounts::CountRejected() {
  std::lock_guard lock(mutex_);
  ++report_.rejected;
}

void CallCounts::Reset() {
  std::lock_guard lock(mutex_);
  report_ = {};
}

std::string CallCounts::Format() const {
  std::lock_guard lock(mutex_);
  std::ostringstream out;
  for (const auto& [key, count] : report_.members) {
    const auto dot = key.find('.');
    out << key.substr(0, dot) << ' ' << key.substr(dot + 1) << ' ' << count.names << ' ' << count.invokes << "\r\n";
  }
  out << "rejected " << report_.rejected << "\r\n";
  return out.str();
}

CallCountReport ParseCallCounts(const std::string& text) {
  CallCountReport report;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string interfaceName, member;
    CallCount count;
    if (!(fields >> interfaceName)) continue;
    if (interfaceName == "rejected") {
      fields >> report.rejected;
    } else if (fields >> member >> count.names >> count.invokes) {
      report.members[interfaceName + "." + member] = count;
    }
  }
  return report;
}

}  // namespace fake_office
