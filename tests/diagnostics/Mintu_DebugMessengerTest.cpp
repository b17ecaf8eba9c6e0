// DebugMessenger and its factory: levels through the tree, line bytes,
// stopwatch marks, the registry of named loggers and the ORV_MN_API_DEBUG switch.
#include "mintu/Mintu_Mintaro2MessageCatcher.h"  // first and alone: must neither need nor bring jni.h
#ifdef JNI_VERSION_1_1
#error "Mintu_Mintaro2MessageCatcher.h must not include jni.h"
#endif

#include "mintu/Mintu_DebugMessengerFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/IssuedMessages.h"
#include "support/LoggerLevel.h"
#include "support/TempInstallTree.h"

namespace {

using D = Mintu::DebugMessenger;
using Mintu::DebugMessengerFactory;
using Mintu::StringBase;
using namespace std::string_literals;
typedef MintuTest::IssuedMessages DebugMessengerTest;

// Seconds of a duration text "H:MM:SS.mmm".
double Seconds(const StringBase& text) {
  unsigned h = 0, m = 0, s = 0, ms = 0;
  EXPECT_EQ(4, std::sscanf(text.c_str(), "%u:%2u:%2u.%3u", &h, &m, &s, &ms)) << text.str();
  return h * 3600.0 + m * 60.0 + s + ms / 1000.0;
}

TEST_F(DebugMessengerTest, EffectiveLevelAndLinesThroughTheTree) {
  const D::DebugLevel U = D::DEBUG_UNSET, OFF = D::DEBUG_OFF, N = D::DEBUG_NORMAL,
                      DT = D::DEBUG_DETAILED, V = D::DEBUG_VERBOSE;
  const D::DebugLevel ABOVE = static_cast<D::DebugLevel>(7), BELOW = static_cast<D::DebugLevel>(-1);
  const struct {
    D::DebugLevel root, child, grandchild;
    int effective;
    std::string passes;  // n(ormal), d(etailed), v(erbose)
  } cases[] = {
      {OFF, U, U, OFF, ""},        {V, U, U, V, "ndv"},  {DT, U, U, DT, "nd"}, {OFF, N, U, N, "n"},
      {V, OFF, U, OFF, ""},        {V, U, OFF, OFF, ""}, {N, U, DT, DT, "nd"}, {OFF, V, N, N, "n"},
      {ABOVE, U, U, ABOVE, "ndv"}, {U, U, U, OFF, ""},  // no level anywhere in the chain: as if off
      {BELOW, U, U, BELOW, ""},  // compared as signed numbers: nothing passes, yet not OFF
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.root << " " << c.child << " " << c.grandchild);
    D root;
    D child(&root, "child");
    root.SetLevel(c.root);
    child.SetLevel(c.child);
    issued.Clear();
    std::string lines;
    {
      D grandchild(&child, "g");
      grandchild.SetLevel(c.grandchild);
      EXPECT_EQ(c.effective, grandchild.GetEffectiveLevel());
      EXPECT_EQ(c.effective == OFF, grandchild.IsOff());
      EXPECT_EQ(c.passes, std::string(grandchild.IsNormal() ? "n" : "") +
                              (grandchild.IsDetailed() ? "d" : "") +
                              (grandchild.IsVerbose() ? "v" : ""));
      grandchild.Normal("n");
      grandchild.Detailed("d");
      grandchild.Verbose("v");
      for (char line : c.passes) lines += "DEBUG[g] - " + std::string(1, line) + "\n";
      root.SetLevel(V);  // reaches below at once
      EXPECT_EQ(c.child == U && c.grandchild == U, grandchild.IsVerbose());
      root.SetLevel(c.root);
    }  // its destruction issues the total time when normal lines pass
    std::vector<std::string> texts = issued.Texts(PORT_MSG_STATUS);
    ASSERT_EQ(texts.size(), issued.messages().size());
    if (!c.passes.empty()) {
      ASSERT_FALSE(texts.empty());
      const std::regex total("DEBUG\\[g\\] - Total debug time: \\d+:\\d\\d:\\d\\d\\.\\d\\d\\d\n");
      EXPECT_TRUE(std::regex_match(texts.back(), total)) << texts.back();
      texts.pop_back();
    }
    std::string shown;
    for (const std::string& text : texts) shown += text;
    EXPECT_EQ(lines, shown);
  }
  D loop(&loop, "loop");  // its own parent, with no level: must not walk for ever
  EXPECT_TRUE(loop.IsOff());
}

TEST_F(DebugMessengerTest, LineBytes) {
  const struct {
    const char* name;  // null: the root
    std::string text, line;
  } cases[] = {
      {"utilities", "text", "DEBUG[utilities] - text\n"},
      {"utilities", "ends\n", "DEBUG[utilities] - ends\n"},
      {"utilities", "a\nb", "DEBUG[utilities] - a\nb\n"},
      {"utilities", "two\n\n", "DEBUG[utilities] - two\n\n"},
      {"javavm", "%s %d %n 100%", "DEBUG[javavm] - %s %d %n 100%\n"},
      {"", "x", "DEBUG[] - x\n"},
      {nullptr, "", "DEBUG - \n"},
      {nullptr, "\n", "DEBUG - \n"},
      {"ROOT", "r", "DEBUG - r\n"},  // "root" in any case
      {"roots", "r", "DEBUG[roots] - r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    D root;
    D named(&root, c.name != nullptr ? c.name : "");
    D& logger = c.name != nullptr ? named : root;
    logger.SetLevel(D::DEBUG_NORMAL);
    issued.Clear();
    logger.Normal(StringBase(c.text));
    EXPECT_EQ(std::vector<std::string>{c.line},
              issued.Texts(PORT_MSG_STATUS, "Mintu_DebugMessenger"));
    EXPECT_EQ(1u, issued.messages().size());
    logger.SetLevel(D::DEBUG_OFF);
  }
  const Port_Message& message = issued.messages().at(0);
  EXPECT_EQ("mintutil", message.module);
  EXPECT_EQ("$Revision 0.0$", message.revision);
  EXPECT_GT(message.line, 0);
}

TEST_F(DebugMessengerTest, Marks) {
  D logger(nullptr, "timing");
  const auto waitUntil = [&logger](double seconds) {
    while (Seconds(logger.GetTimer()) < seconds)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  EXPECT_FALSE(logger.HasTimer("never"));
  waitUntil(0.02);
  // A mark read before it was set counts from construction, and stays.
  EXPECT_GE(Seconds(logger.GetTimer("never")), 0.02);
  EXPECT_TRUE(logger.HasTimer("never"));
  logger.SetTimer("lap");
  waitUntil(0.06);
  logger.SetTimer("lap");  // replaces the first reading
  EXPECT_GE(Seconds(logger.GetTimer()) - Seconds(logger.GetTimer("lap")), 0.059);
  logger.StopTimer("lap");
  logger.StopTimer("absent");
  EXPECT_FALSE(logger.HasTimer("lap"));
  EXPECT_FALSE(logger.HasTimer("absent"));
  EXPECT_TRUE(logger.HasTimer("never"));
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(DebugMessengerTest, FactoryMakesEachLoggerOnceUnderTheRoot) {
  D* root = DebugMessengerFactory::GetLogger();
  EXPECT_EQ("root", root->GetName());
  EXPECT_EQ(root, DebugMessengerFactory::GetLogger("rOOt"));
  D* utilities = DebugMessengerFactory::GetLogger("utilities");
  EXPECT_EQ(utilities, DebugMessengerFactory::GetLogger(StringBase("utilities")));
  EXPECT_EQ("utilities", utilities->GetName());
  EXPECT_EQ(D::DEBUG_UNSET, utilities->GetLevel());
  // Other than for the root, names are bytes: case, length and a NUL make others.
  D* upper = DebugMessengerFactory::GetLogger("Utilities");
  EXPECT_EQ(upper, DebugMessengerFactory::GetLogger("Utilities"));
  const std::set<D*> made = {root, utilities, upper, DebugMessengerFactory::GetLogger(""),
                             DebugMessengerFactory::GetLogger(StringBase("utilities\0x"s))};
  EXPECT_EQ(5u, made.size());

  std::unique_ptr<std::vector<StringBase> > listed(DebugMessengerFactory::GetActiveLoggers());
  std::multiset<std::string> names;
  for (const StringBase& name : *listed) names.insert(name.str());
  for (const std::string& name : {"utilities"s, "Utilities"s, ""s, "utilities\0x"s}) {
    EXPECT_EQ(1u, names.count(name)) << name;
  }
  EXPECT_EQ(0u, names.count("root") + names.count("rOOt"));

  // Every one follows the root until its own level is set.
  MintuTest::LoggerLevel detailed("root", D::DEBUG_DETAILED), off("Utilities", D::DEBUG_OFF);
  EXPECT_TRUE(utilities->IsDetailed());
  EXPECT_FALSE(utilities->IsVerbose());
  EXPECT_TRUE(upper->IsOff());
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(DebugMessengerTest, SetLevelFromEnvMakesTheRootVerboseOnce) {
  const struct {
    const char* value;  // null: unset; otherwise never looked at
    D::DebugLevel before, after;
  } cases[] = {
      {nullptr, D::DEBUG_OFF, D::DEBUG_OFF},
      {"", D::DEBUG_NORMAL, D::DEBUG_VERBOSE},
      {"off", D::DEBUG_OFF, D::DEBUG_VERBOSE},
      {"1", static_cast<D::DebugLevel>(5), static_cast<D::DebugLevel>(5)}};  // stays more verbose
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.value ? c.value : "unset") << " from " << c.before);
#ifdef _WIN32
    if (c.value != nullptr && c.value[0] == '\0') continue;  // Windows unsets an empty variable
#endif
    MintuTest::TempInstallTree tree;
    tree.SetEnv("ORV_MN_API_DEBUG", c.value);
    MintuTest::LoggerLevel root("root", c.before), follower("fromenv-unset", D::DEBUG_UNSET),
        silenced("fromenv-off", D::DEBUG_OFF);
    issued.Clear();
    DebugMessengerFactory::SetLevelFromEnv();
    EXPECT_EQ(c.after, root->GetLevel());
    EXPECT_EQ(c.after >= D::DEBUG_VERBOSE, follower->IsVerbose());
    EXPECT_TRUE(silenced->IsOff());
    DebugMessengerFactory::SetLevelFromEnv();  // once only
    std::vector<std::string> expected;
    if (c.before != c.after)
      expected = {"DEBUG - Verbose debug mode activated through ORV_MN_API_DEBUG\n"};
    EXPECT_EQ(expected, issued.Texts(PORT_MSG_STATUS, "Mintu_DebugMessenger"));
    EXPECT_EQ(expected.size(), issued.messages().size());
  }
}

}  // namespace
