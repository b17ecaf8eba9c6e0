// MsgMan: the kinds shown at each level, attached outputs, nested managers and the host's own.
#include "mintu/Mintu_MsgMan.h"

#include <gtest/gtest.h>

#include <iostream>
#include <list>
#include <sstream>
#include <string>

#include "port/Port_File.h"
#include "support/IssuedMessages.h"
#include "support/TempInstallTree.h"

namespace {

using Mintu::MsgMan;
using namespace std::string_literals;

// Takes what is written to std::cerr for as long as it lives.
struct CerrCapture {
  std::ostringstream text;
  std::streambuf* const saved = std::cerr.rdbuf(text.rdbuf());
  ~CerrCapture() { std::cerr.rdbuf(saved); }
};

void Issue(int kind, const char* text) {
  Port_MsgManData::createObject("mintutest", "Mintu_MsgManTest", 1, "r").issue(kind, "%s", text);
}

// One message of every kind, its text the kind's number.
void IssueEveryKind() {
  for (int kind : {PORT_MSG_FATAL, PORT_MSG_ERROR, PORT_MSG_DEBUG, PORT_MSG_WARNING,
                   PORT_MSG_STATUS, PORT_MSG_PROGRESS}) {
    Issue(kind, std::to_string(kind).c_str());
  }
}

// The standard error stream shows the kinds of the level, while the manager lives; attached
// outputs get the default kinds, whatever the level, until they are removed.
TEST(MsgManTest, KindsShownOnTheErrorStreamAndOnAttachedOutputs) {
  const struct {
    int level;
    const char* shown;
  } cases[] = {
      {MsgMan::DIAGNOSTIC_QUIET, ""},
      {MsgMan::DIAGNOSTIC_REDUCED, "FATAL: 0\nERROR: 1\nWARNING: 4\n"},
      {MsgMan::DIAGNOSTIC_NORMAL, "FATAL: 0\nERROR: 1\nWARNING: 4\nINFO: 7\nPROGRESS: 8\n"},
      {MsgMan::DIAGNOSTIC_FULL, "FATAL: 0\nERROR: 1\nDEBUG: 2\nWARNING: 4\nINFO: 7\n"},
      {7, "FATAL: 0\nERROR: 1\nWARNING: 4\nINFO: 7\nPROGRESS: 8\n"}};  // other: as NORMAL
  MintuTest::TempInstallTree tree;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    CerrCapture cerr;
    std::ostringstream out;
    Port::Stream* file =
        Port::File::open(tree.Path("messages.log"), Port::File::ACCESS_WRITE, false);
    ASSERT_NE(nullptr, file);
    {
      MsgMan manager(static_cast<MsgMan::DiagnosticLevel>(c.level));
      EXPECT_EQ(c.level, manager.GetLevel());
      manager.addMsgStream(out);
      manager.addMsgStream(*file);
      IssueEveryKind();
      manager.removeMsgStream(out);
      manager.removeMsgStream(*file);
      manager.removeMsgStream(out);  // not attached any more: nothing happens
      Issue(PORT_MSG_DEBUG, "after");
    }
    Issue(PORT_MSG_ERROR, "after");
    EXPECT_EQ(c.shown + (c.level == MsgMan::DIAGNOSTIC_FULL ? "DEBUG: after\n"s : ""),
              cerr.text.str());
    ASSERT_TRUE(Port::File::close(file));
    const char* attached = "FATAL: 0\nERROR: 1\nWARNING: 4\nINFO: 7\n";
    EXPECT_EQ(attached, out.str());
    EXPECT_EQ(attached, MintuTest::TempInstallTree::ReadFile(tree.Path("messages.log")));
  }
  EXPECT_EQ(MsgMan::DIAGNOSTIC_NORMAL, MsgMan().GetLevel());
}

TEST(MsgManTest, OnlyTheInnermostManagerWritesAndEachUnregistersItself) {
  MintuTest::MessageCapture host;
  std::ostringstream extra;
  {
    MsgMan outer(MsgMan::DIAGNOSTIC_REDUCED);
    {
      CerrCapture cerr;
      MsgMan inner;
      EXPECT_EQ(&inner.GetMsgStream(), Port_MsgDispatcher::getAllMsgMans().back());
      EXPECT_EQ(2, host.deactivations());
      EXPECT_FALSE(outer.GetMsgStream().isActive());
      inner.addMsgStream(extra);  // destroyed with an output still attached
      Issue(PORT_MSG_WARNING, "once");
      EXPECT_EQ("WARNING: once\n", cerr.text.str());
    }
    EXPECT_EQ(1, host.activations());
    CerrCapture cerr;
    Issue(PORT_MSG_ERROR, "outer again");
    Issue(PORT_MSG_STATUS, "not at reduced level");
    EXPECT_EQ("ERROR: outer again\n", cerr.text.str());
  }
  EXPECT_EQ(2, host.deactivations());
  EXPECT_TRUE(host.isActive());
  EXPECT_EQ(std::list<Port_MsgMan*>{&host}, Port_MsgDispatcher::getAllMsgMans());
  EXPECT_EQ("WARNING: once\n", extra.str());
}

}  // namespace
