#include "port/Port_Atomic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "port/Port_Timer.h"
#include "port/Port_XUID.h"

TEST(Port_AtomicTest, CountsFromManyThreads) {
  int counter = 0;
  EXPECT_EQ(Port::SafeIncr(counter), 1);
  EXPECT_EQ(Port::SafeDecr(counter), 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&counter, t] {
      for (int i = 0; i < 100000; ++i)
        t % 2 == 0 ? Port::SafeIncr(counter) : Port::SafeDecr(counter);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(Port::SafeRead(counter), 0);
}

TEST(Port_AtomicTest, XuidEqualOnlyWhenBothHalvesAre) {
  EXPECT_TRUE(Port::XUID(1, 2) == Port::XUID(1, 2) && Port::XUID() == Port::XUID(0, 0));
  EXPECT_FALSE(Port::XUID(1, 2) == Port::XUID(1, 3) || Port::XUID(1, 2) == Port::XUID(0, 2));
}

TEST(Port_AtomicTest, DurationTexts) {
  const struct {
    double seconds;
    const char *hms, *plain;
  } cases[] = {{62.345, "0:01:02.345", "62.345 s"},
               {3600 * 27 + 59.9996, "27:01:00.000", "97260.000 s"},
               {-5, "0:00:00.000", "0.000 s"},
               {std::nan(""), "0:00:00.000", "0.000 s"},
               {HUGE_VAL, "0:00:00.000", "0.000 s"}};
  for (const auto& c : cases) {
    EXPECT_EQ(UT_TIMER::asciitime(c.seconds).str() + " " +
                  UT_TIMER::asciitime(c.seconds, UT_TIMER::SECONDS).str(),
              std::string(c.hms) + " " + c.plain);
  }
  // Enormous durations still give a well-formed text.
  EXPECT_NE(UT_TIMER::asciitime(1e300).GetIndexOfFirstChar(':'), Port::StringBase<char>::NOT_FOUND);
}
