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
#include <string>
#include <vector>

#include "support/IssuedMessages.h"
#include "support/TempInstallTree.h"

namespace {

using Mintu::DebugMessenger;
using Mintu::DebugMessengerFactory;
using Mintu::StringBase;

const char* const DEBUG_ENV = "ORV_MN_API_DEBUG";

// Puts back the levels of the root and of the named loggers it was given.
class LevelsGuard {
 public:
  explicit LevelsGuard(const std::vector<std::string>& names) {
    saved_.emplace_back(DebugMessengerFactory::GetLogger(),
                        DebugMessengerFactory::GetLogger()->GetLevel());
    for (const std::string& name : names) {
      DebugMessenger* logger = DebugMessengerFactory::GetLogger(name);
      saved_.emplace_back(logger, logger->GetLevel());
    }
  }
  ~LevelsGuard() {
    for (const auto& entry : saved_) entry.first->SetLevel(entry.second);
  }

 private:
  std::vector<std::pair<DebugMessenger*, DebugMessenger::DebugLevel> > saved_;
};

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

TEST_F(DebugMessengerFactoryTest, RootIdentity) {
  DebugMessenger* root = DebugMessengerFactory::GetLogger();
  ASSERT_NE(nullptr, root);
  EXPECT_EQ("root", root->GetName());
  for (const char* name : {"root", "ROOT", "Root", "rOOt"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(root, DebugMessengerFactory::GetLogger(name));
  }
  const std::vector<std::string> names = ActiveLoggers();
  for (const char* name : {"root", "ROOT", "Root", "rOOt"}) {
    EXPECT_EQ(names.end(), std::find(names.begin(), names.end(), name)) << name;
  }
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(DebugMessengerFactoryTest, NamedLoggersAreMadeOnceUnderTheRoot) {
  DebugMessenger* utilities = DebugMessengerFactory::GetLogger("utilities");
  ASSERT_NE(nullptr, utilities);
  EXPECT_EQ(utilities, DebugMessengerFactory::GetLogger(StringBase("utilities")));
  EXPECT_EQ("utilities", utilities->GetName());
  EXPECT_EQ(DebugMessenger::DEBUG_UNSET, utilities->GetLevel());

  // Case matters inside the registry.
  DebugMessenger* upper = DebugMessengerFactory::GetLogger("Utilities");
  EXPECT_NE(utilities, upper);
  EXPECT_EQ(upper, DebugMessengerFactory::GetLogger("Utilities"));
  // Names are bytes: a longer name, an empty one and one with a NUL are others.
  DebugMessenger* empty = DebugMessengerFactory::GetLogger("");
  DebugMessenger* withNul = DebugMessengerFactory::GetLogger(StringBase("utilities\0x", 11));
  EXPECT_NE(utilities, empty);
  EXPECT_NE(utilities, withNul);
  EXPECT_NE(empty, withNul);

  const std::vector<std::string> names = ActiveLoggers();
  for (const std::string& name : {std::string("utilities"), std::string("Utilities"), std::string(),
                                  std::string("utilities\0x", 11)}) {
    EXPECT_EQ(1, std::count(names.begin(), names.end(), name)) << name;
  }

  // Every one follows the root until its own level is set.
  LevelsGuard guard({"utilities", "Utilities"});
  DebugMessengerFactory::GetLogger()->SetLevel(DebugMessenger::DEBUG_DETAILED);
  EXPECT_TRUE(utilities->IsDetailed());
  EXPECT_FALSE(utilities->IsVerbose());
  upper->SetLevel(DebugMessenger::DEBUG_OFF);
  EXPECT_TRUE(upper->IsOff());
  EXPECT_TRUE(utilities->IsDetailed());
}

TEST_F(DebugMessengerFactoryTest, SetLevelFromEnvWithTheVariableUnset) {
  MintuTest::TempInstallTree tree;
  tree.SetEnv(DEBUG_ENV, nullptr);
  LevelsGuard guard({});
  DebugMessenger* root = DebugMessengerFactory::GetLogger();
  root->SetLevel(DebugMessenger::DEBUG_OFF);
  DebugMessengerFactory::SetLevelFromEnv();
  EXPECT_EQ(DebugMessenger::DEBUG_OFF, root->GetLevel());
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(DebugMessengerFactoryTest, SetLevelFromEnvMakesTheRootVerboseOnce) {
  const char* const values[] = {"", "1", "off"};  // the value is never looked at
  for (const char* value : values) {
    SCOPED_TRACE(value);
    MintuTest::TempInstallTree tree;
    tree.SetEnv(DEBUG_ENV, value);
    LevelsGuard guard({"fromenv-unset", "fromenv-off"});
    DebugMessenger* root = DebugMessengerFactory::GetLogger();
    DebugMessenger* follower = DebugMessengerFactory::GetLogger("fromenv-unset");
    DebugMessenger* silenced = DebugMessengerFactory::GetLogger("fromenv-off");
    root->SetLevel(DebugMessenger::DEBUG_NORMAL);
    silenced->SetLevel(DebugMessenger::DEBUG_OFF);
    issued.Clear();

    DebugMessengerFactory::SetLevelFromEnv();
    EXPECT_EQ(DebugMessenger::DEBUG_VERBOSE, root->GetLevel());
    EXPECT_TRUE(follower->IsVerbose());
    EXPECT_TRUE(silenced->IsOff());
    ASSERT_EQ(1u, issued.messages().size());
    const Port_Message& message = issued.messages().front();
    EXPECT_EQ(PORT_MSG_STATUS, message.type);
    EXPECT_EQ("DEBUG - Verbose debug mode activated through ORV_MN_API_DEBUG\n",
              message.text.str());
    EXPECT_EQ("Mintu_DebugMessenger", message.file);

    DebugMessengerFactory::SetLevelFromEnv();
    EXPECT_EQ(1u, issued.messages().size());
  }
}

TEST_F(DebugMessengerFactoryTest, SetLevelFromEnvLeavesAMoreVerboseRoot) {
  MintuTest::TempInstallTree tree;
  tree.SetEnv(DEBUG_ENV, "");
  LevelsGuard guard({});
  DebugMessenger* root = DebugMessengerFactory::GetLogger();
  const DebugMessenger::DebugLevel above = static_cast<DebugMessenger::DebugLevel>(5);
  root->SetLevel(above);
  DebugMessengerFactory::SetLevelFromEnv();
  EXPECT_EQ(above, root->GetLevel());
  EXPECT_TRUE(issued.messages().empty());
}

}  // namespace
