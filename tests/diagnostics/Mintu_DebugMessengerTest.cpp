#include "mintu/Mintu_DebugMessenger.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "support/IssuedMessages.h"

namespace {

using Mintu::DebugMessenger;
using Mintu::StringBase;

typedef MintuTest::IssuedMessages DebugMessengerTest;

// Seconds of a duration text "H:MM:SS.mmm".
double Seconds(const StringBase& text) {
  unsigned hours = 0, minutes = 0, seconds = 0, millis = 0;
  EXPECT_EQ(4, std::sscanf(text.c_str(), "%u:%2u:%2u.%3u", &hours, &minutes, &seconds, &millis))
      << text.str();
  return hours * 3600.0 + minutes * 60.0 + seconds + millis / 1000.0;
}

// Waits until `logger`'s stopwatch reads at least `seconds`.
void WaitUntil(DebugMessenger& logger, double seconds) {
  while (Seconds(logger.GetTimer()) < seconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// The effective level through a root, a child and a grandchild, and which
// lines pass: the three line tests are thresholds, IsOff is equality.
TEST_F(DebugMessengerTest, EffectiveLevelThroughTheTree) {
  {
    DebugMessenger root;  // a fresh root is named "root" and is off
    EXPECT_EQ("root", root.GetName());
    EXPECT_EQ(DebugMessenger::DEBUG_OFF, root.GetLevel());
    DebugMessenger orphan(nullptr, "orphan");  // no parent nor level: off
    EXPECT_TRUE(orphan.IsOff());
    orphan.Normal("x");
    EXPECT_TRUE(issued.messages().empty());
  }
  const DebugMessenger::DebugLevel UNSET = DebugMessenger::DEBUG_UNSET;
  const DebugMessenger::DebugLevel OFF = DebugMessenger::DEBUG_OFF;
  const DebugMessenger::DebugLevel NORMAL = DebugMessenger::DEBUG_NORMAL;
  const DebugMessenger::DebugLevel DETAILED = DebugMessenger::DEBUG_DETAILED;
  const DebugMessenger::DebugLevel VERBOSE = DebugMessenger::DEBUG_VERBOSE;
  const DebugMessenger::DebugLevel ABOVE = static_cast<DebugMessenger::DebugLevel>(7);
  const DebugMessenger::DebugLevel BELOW = static_cast<DebugMessenger::DebugLevel>(-1);
  struct Case {
    DebugMessenger::DebugLevel root, child, grandchild;
    int effective;  // of the grandchild
  };
  const Case cases[] = {
      {OFF, UNSET, UNSET, OFF},
      {VERBOSE, UNSET, UNSET, VERBOSE},
      {DETAILED, UNSET, UNSET, DETAILED},
      {OFF, NORMAL, UNSET, NORMAL},
      {VERBOSE, OFF, UNSET, OFF},
      {VERBOSE, UNSET, OFF, OFF},
      {NORMAL, UNSET, DETAILED, DETAILED},
      {OFF, VERBOSE, NORMAL, NORMAL},
      {ABOVE, UNSET, UNSET, ABOVE},
      // Levels compare as signed numbers: below OFF nothing passes, yet it is not OFF.
      {BELOW, UNSET, UNSET, BELOW},
      // No messenger of the chain has a level of its own: as if off.
      {UNSET, UNSET, UNSET, OFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "root " << c.root << " child " << c.child << " grandchild " << c.grandchild);
    DebugMessenger root;
    DebugMessenger child(&root, "child");
    root.SetLevel(c.root);
    child.SetLevel(c.child);
    issued.Clear();
    {
      DebugMessenger grandchild(&child, "grandchild");
      grandchild.SetLevel(c.grandchild);
      EXPECT_EQ(c.effective, grandchild.GetEffectiveLevel());
      EXPECT_EQ(c.effective == OFF, grandchild.IsOff());
      EXPECT_EQ(c.effective >= NORMAL, grandchild.IsNormal());
      EXPECT_EQ(c.effective >= DETAILED, grandchild.IsDetailed());
      EXPECT_EQ(c.effective >= VERBOSE, grandchild.IsVerbose());
      grandchild.Normal("n");
      grandchild.Detailed("d");
      grandchild.Verbose("v");
      // A change of the root takes effect at once below it.
      root.SetLevel(VERBOSE);
      EXPECT_EQ(c.child == UNSET && c.grandchild == UNSET, grandchild.IsVerbose());
      root.SetLevel(c.root);
    }  // its destruction issues the total time when normal lines pass
    std::vector<std::string> expected;
    if (c.effective >= NORMAL) expected.push_back("DEBUG[grandchild] - n\n");
    if (c.effective >= DETAILED) expected.push_back("DEBUG[grandchild] - d\n");
    if (c.effective >= VERBOSE) expected.push_back("DEBUG[grandchild] - v\n");
    std::vector<std::string> texts = issued.Texts(PORT_MSG_STATUS);
    EXPECT_EQ(texts.size(), issued.messages().size());
    if (c.effective >= NORMAL && !texts.empty()) {
      const std::string prefix = "DEBUG[grandchild] - Total debug time: ";
      const std::string total = texts.back();
      texts.pop_back();
      ASSERT_EQ(prefix, total.substr(0, prefix.size()));
      EXPECT_EQ('\n', total.back());
      // The rest is the duration text, once.
      const std::string duration = total.substr(prefix.size(), total.size() - prefix.size() - 1);
      EXPECT_GE(Seconds(duration), 0.0);
      EXPECT_EQ(std::string::npos, duration.find('\n'));
    }
    EXPECT_EQ(expected, texts);
  }
}

TEST_F(DebugMessengerTest, LineBytes) {
  struct Case {
    const char* name;  // null: the root
    std::string text;
    std::string line;
  };
  const Case cases[] = {
      {"utilities", "text", "DEBUG[utilities] - text\n"},
      {"utilities", "ends\n", "DEBUG[utilities] - ends\n"},
      {"utilities", "a\nb", "DEBUG[utilities] - a\nb\n"},
      {"utilities", "two\n\n", "DEBUG[utilities] - two\n\n"},
      {"javavm", "%s %d %n 100%", "DEBUG[javavm] - %s %d %n 100%\n"},
      {"", "x", "DEBUG[] - x\n"},
      {nullptr, "", "DEBUG - \n"},
      {nullptr, "\n", "DEBUG - \n"},
      {nullptr, "caf\xc3\xa9", "DEBUG - caf\xc3\xa9\n"},
      // Names are compared with "root" without regard to case.
      {"ROOT", "r", "DEBUG - r\n"},
      {"roots", "r", "DEBUG[roots] - r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    DebugMessenger root;
    DebugMessenger named(&root, c.name != nullptr ? c.name : "");
    DebugMessenger& logger = c.name != nullptr ? named : root;
    logger.SetLevel(DebugMessenger::DEBUG_NORMAL);
    issued.Clear();
    logger.Normal(StringBase(c.text));
    EXPECT_EQ(std::vector<std::string>{c.line},
              issued.Texts(PORT_MSG_STATUS, "Mintu_DebugMessenger"));
    EXPECT_EQ(1u, issued.messages().size());
    logger.SetLevel(DebugMessenger::DEBUG_OFF);
  }
  const Port_Message& message = issued.messages().at(0);
  EXPECT_EQ("mintutil", message.module);
  EXPECT_EQ("$Revision 0.0$", message.revision);
  EXPECT_GT(message.line, 0);
}

TEST_F(DebugMessengerTest, Marks) {
  DebugMessenger logger(nullptr, "timing");
  EXPECT_FALSE(logger.HasTimer("never"));
  // A mark read before it was set counts from construction and stays.
  WaitUntil(logger, 0.02);
  EXPECT_GE(Seconds(logger.GetTimer("never")), 0.02);
  EXPECT_TRUE(logger.HasTimer("never"));

  logger.StopTimer("absent");
  EXPECT_FALSE(logger.HasTimer("absent"));
  EXPECT_TRUE(logger.HasTimer("never"));

  // The second reading replaces the first: the time since the mark is then
  // short of the time since construction by at least the first wait.
  logger.SetTimer("lap");
  WaitUntil(logger, 0.06);
  logger.SetTimer("lap");
  const double sinceLap = Seconds(logger.GetTimer("lap"));
  const double sinceStart = Seconds(logger.GetTimer());
  EXPECT_GE(sinceStart - sinceLap, 0.059);

  logger.StopTimer("lap");
  EXPECT_FALSE(logger.HasTimer("lap"));
  EXPECT_TRUE(logger.HasTimer("never"));
  EXPECT_TRUE(issued.messages().empty());
}

}  // namespace
