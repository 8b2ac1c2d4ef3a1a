// The application's mouse pointer: the hourglass while the program is busy.
#pragma once

#include <functional>

namespace valmora {

class BusyPointer {
 public:
  // `show` puts the pointer on screen; empty for none (tests).
  explicit BusyPointer(std::function<void(bool busy)> show = {}) : show_(std::move(show)) {}

  void SetBusyPointer(bool busy) {
    busyPointerOn_ = busy;
    if (show_) show_(busy);
  }
  bool BusyPointerOn() const { return busyPointerOn_; }

 private:
  std::function<void(bool)> show_;
  bool busyPointerOn_ = false;
};

}  // namespace valmora
