// Included first and alone on purpose: the bridge's header must not need,
// nor drag in, the JDK's jni.h.
#include "mintu/Mintu_Mintaro2MessageCatcher.h"
#ifdef JNI_VERSION_1_1
#error "Mintu_Mintaro2MessageCatcher.h must not include jni.h"
#endif

#include "mintu/Mintu_DebugMessengerFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/IssuedMessages.h"
#include "support/LoggerLevel.h"
#include "support/TempInstallTree.h"

namespace {

using Mintu::DebugMessenger;
using Mintu::DebugMessengerFactory;
using Mintu::StringBase;

std::vector<std::string> ActiveLoggers() {
  std::unique_ptr<std::vector<StringBase> > names(DebugMessengerFactory::GetActiveLoggers());
  std::vector<std::string> result;
  for (const StringBase& name : *names) result.push_back(name.str());
  std::sort(result.begin(), result.end());
  return result;
}

typedef MintuTest::IssuedMessages DebugMessengerFactoryTest;

TEST(DebugMessengerFactoryFreshProcessTest, RegistryStartsEmpty) {
  // Runs in a new process of its own, where no logger was requested yet.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::vector<StringBase>* names = DebugMessengerFactory::GetActiveLoggers();
        const bool empty = names != nullptr && names->empty();
        std::vector<StringBase>* again = DebugMessengerFactory::GetActiveLoggers();
        const bool fresh = again != names;  // a new vector on every call
        delete names;
        delete again;
        std::exit(empty && fresh ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(DebugMessengerFactoryTest, LoggersAreMadeOnceUnderTheRoot) {
  DebugMessenger* root = DebugMessengerFactory::GetLogger();
  ASSERT_NE(nullptr, root);
  EXPECT_EQ("root", root->GetName());
  for (const char* name : {"root", "ROOT", "rOOt"}) {
    EXPECT_EQ(root, DebugMessengerFactory::GetLogger(name)) << name;
  }
  DebugMessenger* utilities = DebugMessengerFactory::GetLogger("utilities");
  ASSERT_NE(nullptr, utilities);
  EXPECT_EQ(utilities, DebugMessengerFactory::GetLogger(StringBase("utilities")));
  EXPECT_EQ("utilities", utilities->GetName());
  EXPECT_EQ(DebugMessenger::DEBUG_UNSET, utilities->GetLevel());
  // Other than for the root, case matters; names are bytes: a longer name,
  // an empty one and one with a NUL are others.
  DebugMessenger* upper = DebugMessengerFactory::GetLogger("Utilities");
  DebugMessenger* empty = DebugMessengerFactory::GetLogger("");
  DebugMessenger* withNul = DebugMessengerFactory::GetLogger(StringBase("utilities\0x", 11));
  EXPECT_EQ(upper, DebugMessengerFactory::GetLogger("Utilities"));
  EXPECT_EQ(4u, std::set<DebugMessenger*>({utilities, upper, empty, withNul}).size());

  const std::vector<std::string> names = ActiveLoggers();
  for (const std::string& name : {std::string("utilities"), std::string("Utilities"), std::string(),
                                  std::string("utilities\0x", 11)}) {
    EXPECT_EQ(1, std::count(names.begin(), names.end(), name)) << name;
  }
  for (const char* name : {"root", "ROOT", "rOOt"}) {
    EXPECT_EQ(0, std::count(names.begin(), names.end(), name)) << name;
  }

  // Every one follows the root until its own level is set.
  MintuTest::LoggerLevel detailed("root", DebugMessenger::DEBUG_DETAILED);
  MintuTest::LoggerLevel off("Utilities", DebugMessenger::DEBUG_OFF);
  EXPECT_TRUE(utilities->IsDetailed());
  EXPECT_FALSE(utilities->IsVerbose());
  EXPECT_TRUE(upper->IsOff());
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(DebugMessengerFactoryTest, SetLevelFromEnvMakesTheRootVerboseOnce) {
  const DebugMessenger::DebugLevel ABOVE = static_cast<DebugMessenger::DebugLevel>(5);
  const struct {
    const char* value;  // null: unset; otherwise never looked at
    DebugMessenger::DebugLevel before, after;
  } cases[] = {{nullptr, DebugMessenger::DEBUG_OFF, DebugMessenger::DEBUG_OFF},
               {"", DebugMessenger::DEBUG_NORMAL, DebugMessenger::DEBUG_VERBOSE},
               {"1", DebugMessenger::DEBUG_OFF, DebugMessenger::DEBUG_VERBOSE},
               {"off", DebugMessenger::DEBUG_NORMAL, DebugMessenger::DEBUG_VERBOSE},
               {"", ABOVE, ABOVE}};  // a more verbose root stays as it is
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.value ? c.value : "unset") << " from " << c.before);
#ifdef _WIN32
    // Windows keeps no empty variables: setting one to "" unsets it.
    if (c.value != nullptr && c.value[0] == '\0') continue;
#endif
    MintuTest::TempInstallTree tree;
    tree.SetEnv("ORV_MN_API_DEBUG", c.value);
    MintuTest::LoggerLevel root("root", c.before);
    MintuTest::LoggerLevel follower("fromenv-unset", DebugMessenger::DEBUG_UNSET);
    MintuTest::LoggerLevel silenced("fromenv-off", DebugMessenger::DEBUG_OFF);
    issued.Clear();
    DebugMessengerFactory::SetLevelFromEnv();
    EXPECT_EQ(c.after, root->GetLevel());
    EXPECT_EQ(c.after >= DebugMessenger::DEBUG_VERBOSE, follower->IsVerbose());
    EXPECT_TRUE(silenced->IsOff());
    const bool changed = c.before != c.after;
    ASSERT_EQ(changed ? 1u : 0u, issued.messages().size());
    if (changed) {
      const Port_Message& message = issued.messages().front();
      EXPECT_EQ(PORT_MSG_STATUS, message.type);
      EXPECT_EQ("DEBUG - Verbose debug mode activated through ORV_MN_API_DEBUG\n",
                message.text.str());
      EXPECT_EQ("Mintu_DebugMessenger", message.file);
    }
    DebugMessengerFactory::SetLevelFromEnv();  // once only
    EXPECT_EQ(changed ? 1u : 0u, issued.messages().size());
  }
}

}  // namespace
