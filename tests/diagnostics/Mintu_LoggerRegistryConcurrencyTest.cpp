// The logger registry used by threads at once (ci/test.sh runs this under ThreadSanitizer too).
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "mintu/Mintu_DebugMessengerFactory.h"
#include "support/IssuedMessages.h"
#include "support/TempInstallTree.h"

using Mintu::DebugMessengerFactory;

TEST(LoggerRegistryConcurrencyTest, FourThreadsMakeListAndSwitchOnTheRoot) {
  MintuTest::TempInstallTree tree;
  tree.SetEnv("ORV_MN_API_DEBUG", "1");
  MintuTest::MessageCapture issued;
  std::atomic<bool> go(false);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &go] {
      while (!go.load()) std::this_thread::yield();
      for (int n = 0; n < 200; ++n) {  // names of this thread's own, and the same in every thread
        DebugMessengerFactory::GetLogger("t" + std::to_string(t) + "-" + std::to_string(n));
        DebugMessengerFactory::GetLogger("all-" + std::to_string(n));
        if (n % 50 == 0) DebugMessengerFactory::SetLevelFromEnv();
        if (n % 50 == 0) delete DebugMessengerFactory::GetActiveLoggers();
      }
    });
  }
  go.store(true);
  for (std::thread& thread : threads) thread.join();
  std::unique_ptr<std::vector<Mintu::StringBase> > names(DebugMessengerFactory::GetActiveLoggers());
  EXPECT_EQ(1000u, std::set<Mintu::StringBase>(names->begin(), names->end()).size());
  EXPECT_EQ(1000u, names->size());
  EXPECT_EQ(1u, issued.Texts(PORT_MSG_STATUS).size()) << "the root switched on more than once";
  DebugMessengerFactory::GetLogger()->SetLevel(Mintu::DebugMessenger::DEBUG_OFF);
}
