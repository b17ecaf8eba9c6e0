// UT_TIMER duration texts (Port_Atomic counters are exercised by the reference-count tests).
#include "port/Port_Timer.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Port_TimerTest, DurationTexts) {
  // Seconds, and their text as hours:minutes:seconds and in seconds.
  const std::pair<double, const char*> cases[] = {
      {62.345, "0:01:02.345|62.345 s"},  {3600 * 27 + 59.9996, "27:01:00.000|97260.000 s"},
      {-5, "0:00:00.000|0.000 s"},       {std::nan(""), "0:00:00.000|0.000 s"},
      {HUGE_VAL, "0:00:00.000|0.000 s"}, {1e300, "2500000000:00:00.000|9000000000000.000 s"}};
  for (const auto& [seconds, text] : cases) {
    EXPECT_EQ(UT_TIMER::asciitime(seconds).str() + "|" +
                  UT_TIMER::asciitime(seconds, UT_TIMER::SECONDS).str(),
              text);
  }
}
