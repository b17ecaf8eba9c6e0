// DebugMessenger and its factory (levels, lines, marks, names, ORV_MN_API_DEBUG), and MsgMan.
#include "mintu/Mintu_Mintaro2MessageCatcher.h"  // first: must neither need nor bring jni.h
#ifdef JNI_VERSION_1_1
#error "Mintu_Mintaro2MessageCatcher.h must not include jni.h"
#endif

#include "mintu/Mintu_DebugMessengerFactory.h"
#include "mintu/Mintu_MsgMan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <numeric>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>

#include "port/Port_File.h"
#include "support/IssuedMessages.h"
#include "support/LoggerLevel.h"
#include "support/TempInstallTree.h"

namespace {

using D = Mintu::DebugMessenger;
using Mintu::DebugMessengerFactory;
using Mintu::MsgMan;
using namespace std::chrono_literals;
using namespace std::string_literals;
typedef MintuTest::IssuedMessages DebugMessengerTest;
const D::DebugLevel U = D::DEBUG_UNSET, OFF = D::DEBUG_OFF, N = D::DEBUG_NORMAL,
                    DT = D::DEBUG_DETAILED, V = D::DEBUG_VERBOSE, A = D::DebugLevel(7),
                    B = D::DebugLevel(-1);

std::string Joined(const std::vector<std::string>& texts) {
  return std::accumulate(texts.begin(), texts.end(), std::string());
}

TEST_F(DebugMessengerTest, EffectiveLevelAndLinesThroughTheTree) {
  // Levels of root, child, grandchild; the grandchild's effective level and lines passed. Levels
  // compare as signed numbers: below OFF (B) nothing passes, yet it is not OFF.
  const std::tuple<D::DebugLevel, D::DebugLevel, D::DebugLevel, int, std::string> cases[] = {
      {OFF, U, U, OFF, "---"}, {V, U, U, V, "ndv"},     {DT, U, U, DT, "nd-"},
      {OFF, N, U, N, "n--"},   {V, OFF, U, OFF, "---"}, {V, U, OFF, OFF, "---"},
      {N, U, DT, DT, "nd-"},   {OFF, V, N, N, "n--"},   {U, U, U, OFF, "---"},
      {A, U, U, A, "ndv"},     {B, U, U, B, "---"}};
  for (const auto& [rootLevel, childLevel, level, effective, passes] : cases) {
    SCOPED_TRACE(testing::Message() << rootLevel << " " << childLevel << " " << level);
    D root, child(&root, "child");
    root.SetLevel(rootLevel);
    child.SetLevel(childLevel);
    issued.Clear();
    {
      D g(&child, "g");
      g.SetLevel(level);
      EXPECT_EQ(effective, g.GetEffectiveLevel());
      EXPECT_EQ(effective == OFF, g.IsOff());
      EXPECT_EQ(passes, std::string({g.IsNormal() ? 'n' : '-', g.IsDetailed() ? 'd' : '-',
                                     g.IsVerbose() ? 'v' : '-'}));
      g.Normal("n");
      g.Detailed("d");
      g.Verbose("v");
    }  // its destruction issues the total time when normal lines pass
    std::string expected;
    for (char line : passes) expected += line != '-' ? "DEBUG[g] - "s + line + "\n" : "";
    if (passes[0] == 'n') expected += "DEBUG[g] - Total debug time: H:MM:SS.mmm\n";
    EXPECT_EQ(expected,
              std::regex_replace(Joined(issued.Texts(PORT_MSG_STATUS)),
                                 std::regex("\\d+:\\d\\d:\\d\\d\\.\\d{3}\n"), "H:MM:SS.mmm\n"));
    EXPECT_EQ(issued.Texts(PORT_MSG_STATUS).size(), issued.messages().size());
  }
  D loop(&loop, "loop");  // its own parent, without a level: must not walk for ever
  EXPECT_TRUE(loop.IsOff());
}

TEST_F(DebugMessengerTest, LineBytes) {
  D root, upper(&root, "ROOT"), roots(&root, "roots");  // "root" in any case is the root's name
  root.SetLevel(N);
  for (const char* text : {"text", "ends\n", "%s %n 1%", "", "\n", "two\n\n"}) root.Normal(text);
  upper.Normal("r");
  roots.Normal("r");
  EXPECT_EQ(
      "DEBUG - text\nDEBUG - ends\nDEBUG - %s %n 1%\nDEBUG - \nDEBUG - \nDEBUG - two\n\n"
      "DEBUG - r\nDEBUG[roots] - r\n",
      Joined(issued.Texts(PORT_MSG_STATUS, "Mintu_DebugMessenger")));
  root.SetLevel(OFF);
}

TEST(DebugMessenger, Marks) {
  D logger(nullptr, "timing");
  while (logger.GetTimer().str() < "0:00:00.050") std::this_thread::sleep_for(5ms);
  logger.SetTimer("lap");
  const std::string sinceLap = logger.GetTimer("lap").str();
  EXPECT_LT(sinceLap, logger.GetTimer().str());  // by the 50 ms before the lap, at least
  logger.StopTimer("lap");
  EXPECT_FALSE(logger.HasTimer("lap"));
}

// Any value, even empty, makes the root ("root" in any case) verbose, once, with a line.
TEST_F(DebugMessengerTest, SetLevelFromEnv) {
  const std::tuple<const char*, D::DebugLevel, D::DebugLevel> cases[] = {
      {nullptr, OFF, OFF}, {"", N, V}, {"1", A, A}};  // value (null: unset), before, after
  for (const auto& [value, before, after] : cases) {
#ifdef _WIN32
    if (value != nullptr && value[0] == '\0') continue;  // Windows unsets an empty variable
#endif
    MintuTest::TempInstallTree tree;
    tree.SetEnv("ORV_MN_API_DEBUG", value);
    MintuTest::LoggerLevel root("ROOT", before);
    issued.Clear();
    DebugMessengerFactory::SetLevelFromEnv();
    DebugMessengerFactory::SetLevelFromEnv();
    EXPECT_EQ(after, root->GetLevel());
    EXPECT_EQ(
        before == after ? "" : "DEBUG - Verbose debug mode activated through ORV_MN_API_DEBUG\n",
        Joined(issued.Texts(PORT_MSG_STATUS, "Mintu_DebugMessenger")));
  }
}

// Takes what is written to std::cerr for as long as it lives.
struct CerrCapture {
  std::ostringstream text;
  std::streambuf* const saved = std::cerr.rdbuf(text.rdbuf());
  ~CerrCapture() { std::cerr.rdbuf(saved); }
};

void Issue(int kind, const char* text) {
  Port_MsgManData::createObject("mintutest", "Mintu_MessagesTest", 1, "r").issue(kind, "%s", text);
}

// std::cerr shows the level's kinds while the manager lives; outputs get the default kinds.
TEST(MsgMan, KindsShownOnTheErrorStreamAndOnAttachedOutputs) {
  const std::pair<int, const char*> cases[] = {
      {MsgMan::DIAGNOSTIC_QUIET, ""},
      {MsgMan::DIAGNOSTIC_REDUCED, "FATAL: 0\nERROR: 1\nWARNING: 4\nERROR: x\n"},
      {MsgMan::DIAGNOSTIC_NORMAL,
       "FATAL: 0\nERROR: 1\nWARNING: 4\nINFO: 7\nPROGRESS: 8\nERROR: x\n"},
      {MsgMan::DIAGNOSTIC_FULL, "FATAL: 0\nERROR: 1\nDEBUG: 2\nWARNING: 4\nINFO: 7\nERROR: x\n"},
      {7, "FATAL: 0\nERROR: 1\nWARNING: 4\nINFO: 7\nPROGRESS: 8\nERROR: x\n"}};  // as NORMAL
  MintuTest::TempInstallTree tree;
  for (const auto& [level, shown] : cases) {
    SCOPED_TRACE(level);
    CerrCapture cerr;
    std::ostringstream out;
    Port::Stream* file = Port::File::open(tree.Path("log"), Port::File::ACCESS_WRITE, false);
    ASSERT_NE(nullptr, file);
    {
      MsgMan manager(static_cast<MsgMan::DiagnosticLevel>(level));
      manager.addMsgStream(out);
      manager.addMsgStream(*file);
      for (int kind : {0, 1, 2, 4, 7, 8}) Issue(kind, std::to_string(kind).c_str());
      manager.removeMsgStream(out);
      manager.removeMsgStream(*file);
      manager.removeMsgStream(out);  // not attached any more: nothing happens
      Issue(PORT_MSG_ERROR, "x");
    }
    Issue(PORT_MSG_ERROR, "after the manager");
    EXPECT_EQ(shown, cerr.text.str());
    ASSERT_TRUE(Port::File::close(file));
    EXPECT_EQ("FATAL: 0\nERROR: 1\nWARNING: 4\nINFO: 7\n", out.str());
    EXPECT_EQ(out.str(), MintuTest::TempInstallTree::ReadFile(tree.Path("log")));
  }
  EXPECT_EQ(MsgMan::DIAGNOSTIC_NORMAL, MsgMan().GetLevel());
}

TEST(MsgMan, OnlyTheInnermostWritesAndEachUnregistersItself) {
  MintuTest::MessageCapture host;
  CerrCapture cerr;
  {
    MsgMan outer(MsgMan::DIAGNOSTIC_REDUCED);
    {
      MsgMan inner;
      Issue(PORT_MSG_WARNING, "inner");
    }
    EXPECT_EQ(1, host.activations());
    Issue(PORT_MSG_ERROR, "outer");
    Issue(PORT_MSG_STATUS, "not at reduced level");
  }
  EXPECT_EQ("WARNING: inner\nERROR: outer\n", cerr.text.str());
  EXPECT_TRUE(host.isActive());
  EXPECT_EQ(std::list<Port_MsgMan*>{&host}, Port_MsgDispatcher::getAllMsgMans());
}

}  // namespace
