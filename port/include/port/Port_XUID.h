#ifndef PORT_XUID_H
#define PORT_XUID_H
// Port::XUID: a 128-bit interface identifier held as two 64-bit halves.

#include <cstdint>

#include "port/Port_Export.h"

namespace Port {

class PORT_API XUID {
 public:
  XUID() : high_(0), low_(0) {}
  XUID(std::uint64_t high, std::uint64_t low) : high_(high), low_(low) {}
  virtual ~XUID();

  std::uint64_t GetHigh() const { return high_; }
  std::uint64_t GetLow() const { return low_; }

  /// Equal when both halves are.
  bool operator==(const XUID& other) const { return high_ == other.high_ && low_ == other.low_; }
  bool operator!=(const XUID& other) const { return !(*this == other); }

 private:
  std::uint64_t high_;
  std::uint64_t low_;
};

}  // namespace Port

#endif  // PORT_XUID_H
