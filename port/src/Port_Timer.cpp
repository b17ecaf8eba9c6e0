// UT_TIMER's duration texts.

#include "port/Port_Timer.h"

#include <cmath>
#include <cstdio>

namespace {

// Past this, a double no longer holds whole milliseconds; longer durations
// are shown as this one (about 285,000 years).
const double kMaxSeconds = 9.0e12;

}  // namespace

Port::StringBase<char> UT_TIMER::asciitime(double seconds, AsciiType type) {
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  if (seconds > kMaxSeconds) seconds = kMaxSeconds;
  char text[64];
  if (type == SECONDS) {
    std::snprintf(text, sizeof text, "%.3f s", seconds);
  } else {
    const unsigned long long total = static_cast<unsigned long long>(std::llround(seconds * 1000));
    const unsigned long long ms = total % 1000;
    const unsigned long long s = (total / 1000) % 60;
    const unsigned long long m = (total / 60000) % 60;
    const unsigned long long h = total / 3600000;
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu.%03llu", h, m, s, ms);
  }
  return Port::StringBase<char>(text);
}
