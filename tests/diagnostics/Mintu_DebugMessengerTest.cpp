// DebugMessenger and its factory: levels, lines, marks, named loggers and ORV_MN_API_DEBUG.
#include "mintu/Mintu_Mintaro2MessageCatcher.h"  // first: must neither need nor bring jni.h
#ifdef JNI_VERSION_1_1
#error "Mintu_Mintaro2MessageCatcher.h must not include jni.h"
#endif

#include "mintu/Mintu_DebugMessengerFactory.h"

#include <gtest/gtest.h>

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
using namespace std::chrono_literals;
using namespace std::string_literals;
typedef MintuTest::IssuedMessages DebugMessengerTest;
const D::DebugLevel U = D::DEBUG_UNSET, OFF = D::DEBUG_OFF, N = D::DEBUG_NORMAL,
                    DT = D::DEBUG_DETAILED, V = D::DEBUG_VERBOSE, A = D::DebugLevel(7),
                    B = D::DebugLevel(-1);

TEST_F(DebugMessengerTest, EffectiveLevelAndLinesThroughTheTree) {
  // Levels compare as signed numbers: below OFF (B) nothing passes, yet it is not OFF. A chain
  // without a level anywhere is as if off.
  const struct {
    D::DebugLevel root, child, grandchild;
    int effective;
    std::string passes;  // n(ormal), d(etailed), v(erbose) lines
  } cases[] = {{OFF, U, U, OFF, "---"}, {V, U, U, V, "ndv"},     {DT, U, U, DT, "nd-"},
               {OFF, N, U, N, "n--"},   {V, OFF, U, OFF, "---"}, {V, U, OFF, OFF, "---"},
               {N, U, DT, DT, "nd-"},   {OFF, V, N, N, "n--"},   {U, U, U, OFF, "---"},
               {A, U, U, A, "ndv"},     {B, U, U, B, "---"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.root << " " << c.child << " " << c.grandchild);
    D root, child(&root, "child");
    root.SetLevel(c.root);
    child.SetLevel(c.child);
    issued.Clear();
    {
      D grandchild(&child, "g");
      grandchild.SetLevel(c.grandchild);
      EXPECT_EQ(c.effective, grandchild.GetEffectiveLevel());
      EXPECT_EQ(c.effective == OFF, grandchild.IsOff());
      EXPECT_EQ(c.passes,
                std::string({grandchild.IsNormal() ? 'n' : '-', grandchild.IsDetailed() ? 'd' : '-',
                             grandchild.IsVerbose() ? 'v' : '-'}));
      grandchild.Normal("n");
      grandchild.Detailed("d");
      grandchild.Verbose("v");
    }  // its destruction issues the total time when normal lines pass
    std::string shown, expected;
    for (const std::string& text : issued.Texts(PORT_MSG_STATUS)) shown += text;
    for (char line : c.passes) expected += line != '-' ? "DEBUG[g] - "s + line + "\n" : "";
    if (c.passes[0] == 'n') expected += "DEBUG[g] - Total debug time: H:MM:SS.mmm\n";
    EXPECT_EQ(expected, std::regex_replace(shown, std::regex("\\d+:\\d\\d:\\d\\d\\.\\d{3}\n"),
                                           "H:MM:SS.mmm\n"));
    EXPECT_EQ(issued.Count(PORT_MSG_STATUS), issued.messages().size());
  }
  D loop(&loop, "loop");  // its own parent, without a level: must not walk for ever
  EXPECT_TRUE(loop.IsOff());
}

TEST_F(DebugMessengerTest, LineBytes) {
  // The root is named "root", in any case; "" is the root here. Lines end in a line feed.
  const char* const cases[][3] = {{"u", "text", "DEBUG[u] - text"},
                                  {"u", "ends\n", "DEBUG[u] - ends"},
                                  {"u", "%s %n 1%", "DEBUG[u] - %s %n 1%"},
                                  {"ROOT", "r", "DEBUG - r"},
                                  {"", "", "DEBUG - "},
                                  {"", "\n", "DEBUG - "},
                                  {"roots", "r", "DEBUG[roots] - r"},
                                  {"u", "two\n\n", "DEBUG[u] - two\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c[2]);
    D root, named(&root, c[0]);
    D& logger = *c[0] != '\0' ? named : root;
    logger.SetLevel(N);
    issued.Clear();
    logger.Normal(c[1]);
    EXPECT_EQ(std::vector<std::string>{c[2] + "\n"s},
              issued.Texts(PORT_MSG_STATUS, "Mintu_DebugMessenger"));
    EXPECT_EQ(1u, issued.messages().size());
    logger.SetLevel(OFF);
  }
  EXPECT_EQ("mintutil $Revision 0.0$",
            issued.messages().at(0).module + " " + issued.messages().at(0).revision);
}

// Seconds of a duration text "H:MM:SS.mmm".
double Seconds(const StringBase& text) {
  unsigned h = 0, m = 0, s = 0, ms = 0;
  EXPECT_EQ(4, std::sscanf(text.c_str(), "%u:%2u:%2u.%3u", &h, &m, &s, &ms)) << text.str();
  return h * 3600.0 + m * 60.0 + s + ms / 1000.0;
}

TEST_F(DebugMessengerTest, Marks) {
  D logger(nullptr, "timing");
  EXPECT_FALSE(logger.HasTimer("never"));
  while (Seconds(logger.GetTimer()) < 0.05) std::this_thread::sleep_for(5ms);
  // A mark read before it was set counts from construction, and stays.
  EXPECT_GE(Seconds(logger.GetTimer("never")), 0.05);
  logger.SetTimer("lap");
  EXPECT_GE(Seconds(logger.GetTimer()) - Seconds(logger.GetTimer("lap")), 0.049);
  logger.StopTimer("lap");
  EXPECT_FALSE(logger.HasTimer("lap"));
  EXPECT_TRUE(logger.HasTimer("never"));
}

TEST_F(DebugMessengerTest, FactoryMakesEachLoggerOnceUnderTheRoot) {
  D* root = DebugMessengerFactory::GetLogger();
  EXPECT_EQ(root, DebugMessengerFactory::GetLogger("rOOt"));
  D* utilities = DebugMessengerFactory::GetLogger("utilities");
  EXPECT_EQ(utilities, DebugMessengerFactory::GetLogger("utilities"));
  EXPECT_EQ("root utilities", root->GetName().str() + " " + utilities->GetName().str());
  // Other than "root", names are bytes: case, length and a NUL make others.
  std::set<D*> made = {root, utilities};
  for (const std::string& name : {"Utilities"s, ""s, "utilities\0x"s})
    made.insert(DebugMessengerFactory::GetLogger(name));
  EXPECT_EQ(5u, made.size());
  std::unique_ptr<std::vector<StringBase> > listed(DebugMessengerFactory::GetActiveLoggers());
  const std::multiset<StringBase> names(listed->begin(), listed->end());
  for (const std::string& name : {"utilities"s, "Utilities"s, ""s, "utilities\0x"s, "root"s})
    EXPECT_EQ(name == "root" ? 0u : 1u, names.count(name)) << name;
  MintuTest::LoggerLevel detailed("root", DT), off("utilities", OFF);
  EXPECT_EQ(DT, DebugMessengerFactory::GetLogger("Utilities")->GetEffectiveLevel());  // the root's
  EXPECT_TRUE(utilities->IsOff());
}

TEST_F(DebugMessengerTest, SetLevelFromEnvMakesTheRootVerboseOnce) {
  const struct {
    const char* value;  // null: unset; otherwise never looked at
    D::DebugLevel before, after;
  } cases[] = {{nullptr, OFF, OFF}, {"", N, V}, {"off", OFF, V}, {"1", A, A}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.value ? c.value : "unset") << " from " << c.before);
#ifdef _WIN32
    if (c.value != nullptr && c.value[0] == '\0') continue;  // Windows unsets an empty variable
#endif
    MintuTest::TempInstallTree tree;
    tree.SetEnv("ORV_MN_API_DEBUG", c.value);
    MintuTest::LoggerLevel root("root", c.before), follower("fromenv", U);
    issued.Clear();
    DebugMessengerFactory::SetLevelFromEnv();
    DebugMessengerFactory::SetLevelFromEnv();  // once only
    EXPECT_EQ(c.after, root->GetLevel());
    EXPECT_EQ(c.after >= V, follower->IsVerbose());
    const std::string line = "DEBUG - Verbose debug mode activated through ORV_MN_API_DEBUG\n";
    EXPECT_EQ(c.before != c.after ? std::vector<std::string>{line} : std::vector<std::string>(),
              issued.Texts(PORT_MSG_STATUS, "Mintu_DebugMessenger"));
    EXPECT_EQ(issued.Count(PORT_MSG_STATUS), issued.messages().size());
  }
}

}  // namespace
