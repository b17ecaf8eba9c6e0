#ifndef PORT_TIMER_H
#define PORT_TIMER_H
// UT_TIMER: a wall-clock stopwatch on the monotonic clock.

#include <chrono>

#include "port/Port_Export.h"
#include "port/Port_StringBase.h"

class PORT_API UT_TIMER {
 public:
  /// Duration texts. HMS (0): "H:MM:SS.mmm", for example "0:01:02.345";
  /// SECONDS (1): seconds with three decimals and " s", as "62.345 s".
  enum AsciiType { HMS = 0, SECONDS = 1 };

  UT_TIMER() { reset(); }
  /// Starts the stopwatch again from zero.
  void reset() { start_ = std::chrono::steady_clock::now(); }
  /// Seconds since the last reset.
  double get_delta_real() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  /// The text of `seconds` (negative and non-finite values count as 0).
  static Port::StringBase<char> asciitime(double seconds, AsciiType type = HMS);

 private:
  std::chrono::steady_clock::time_point start_;
};

#endif  // PORT_TIMER_H
