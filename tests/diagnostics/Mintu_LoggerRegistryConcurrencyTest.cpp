// The logger registry shared by threads that make loggers, list them and
// switch the root on at once; ci/test.sh runs it under ThreadSanitizer too.
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

namespace {

using Mintu::DebugMessengerFactory;
using Mintu::StringBase;

TEST(LoggerRegistryConcurrencyTest, FourThreadsShareTheRegistry) {
  const int kThreads = 4, kNames = 200;
  MintuTest::TempInstallTree tree;
  tree.SetEnv("ORV_MN_API_DEBUG", "1");
  MintuTest::MessageCapture issued;
  std::atomic<bool> go(false);
  std::vector<Mintu::DebugMessenger*> shared(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &go, &shared] {
      while (!go.load()) std::this_thread::yield();
      for (int n = 0; n < kNames; ++n) {
        // Names of this thread's own, and the same names in every thread.
        DebugMessengerFactory::GetLogger("t" + std::to_string(t) + "-" + std::to_string(n));
        DebugMessengerFactory::GetLogger("all-" + std::to_string(n));
        if (n % 50 == 0) {
          DebugMessengerFactory::SetLevelFromEnv();
          delete DebugMessengerFactory::GetActiveLoggers();
        }
      }
      shared[static_cast<std::size_t>(t)] = DebugMessengerFactory::GetLogger("all-0");
    });
  }
  go.store(true);
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(1u, std::set<Mintu::DebugMessenger*>(shared.begin(), shared.end()).size());
  std::unique_ptr<std::vector<StringBase> > names(DebugMessengerFactory::GetActiveLoggers());
  EXPECT_EQ(static_cast<std::size_t>((kThreads + 1) * kNames),
            std::set<StringBase>(names->begin(), names->end()).size());
  EXPECT_EQ(static_cast<std::size_t>((kThreads + 1) * kNames), names->size());
  EXPECT_EQ(1u, issued.Count(PORT_MSG_STATUS)) << "the root switched on more than once";
  DebugMessengerFactory::GetLogger()->SetLevel(Mintu::DebugMessenger::DEBUG_OFF);
}

}  // namespace
