// MsgMan: what the standard error stream shows at each level, the attached
// outputs, and how nested managers take turns with the host's own.
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

// Takes what is written to std::cerr for as long as it lives.
struct CerrCapture {
  std::ostringstream text;
  std::streambuf* const saved = std::cerr.rdbuf(text.rdbuf());
  ~CerrCapture() { std::cerr.rdbuf(saved); }
  std::string Take() {
    const std::string taken = text.str();
    text.str("");
    return taken;
  }
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

TEST(MsgManTest, ErrorStreamShowsTheKindsOfItsLevelWhileItLives) {
  const struct {
    int level;
    const char* shown;
  } cases[] = {
      {MsgMan::DIAGNOSTIC_QUIET, ""},
      {MsgMan::DIAGNOSTIC_REDUCED, "FATAL: 0\nERROR: 1\nWARNING: 4\n"},
      {MsgMan::DIAGNOSTIC_NORMAL, "FATAL: 0\nERROR: 1\nWARNING: 4\nINFO: 7\nPROGRESS: 8\n"},
      {MsgMan::DIAGNOSTIC_FULL, "FATAL: 0\nERROR: 1\nDEBUG: 2\nWARNING: 4\nINFO: 7\n"},
      {7, "FATAL: 0\nERROR: 1\nWARNING: 4\nINFO: 7\nPROGRESS: 8\n"}};  // other: as NORMAL
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    CerrCapture cerr;
    {
      MsgMan manager(static_cast<MsgMan::DiagnosticLevel>(c.level));
      EXPECT_EQ(c.level, manager.GetLevel());
      IssueEveryKind();
    }
    Issue(PORT_MSG_ERROR, "after");
    EXPECT_EQ(c.shown, cerr.Take());
  }
  EXPECT_EQ(MsgMan::DIAGNOSTIC_NORMAL, MsgMan().GetLevel());
}

TEST(MsgManTest, OnlyTheInnermostManagerWritesAndEachUnregistersItself) {
  MintuTest::MessageCapture host;
  CerrCapture cerr;
  std::ostringstream extra;
  {
    MsgMan outer(MsgMan::DIAGNOSTIC_REDUCED);
    {
      MsgMan inner;
      EXPECT_EQ(&inner.GetMsgStream(), Port_MsgDispatcher::getAllMsgMans().back());
      EXPECT_EQ(2, host.deactivations());
      EXPECT_FALSE(outer.GetMsgStream().isActive());
      inner.addMsgStream(extra);  // destroyed with an output still attached
      Issue(PORT_MSG_WARNING, "once");
      EXPECT_EQ("WARNING: once\n", cerr.Take());
    }
    EXPECT_EQ(1, host.activations());
    Issue(PORT_MSG_ERROR, "outer again");
    Issue(PORT_MSG_STATUS, "not at reduced level");
    EXPECT_EQ("ERROR: outer again\n", cerr.Take());
  }
  EXPECT_EQ(2, host.deactivations());
  EXPECT_TRUE(host.isActive());
  EXPECT_EQ(std::list<Port_MsgMan*>{&host}, Port_MsgDispatcher::getAllMsgMans());
  EXPECT_EQ("WARNING: once\n", extra.str());
}

TEST(MsgManTest, AttachedOutputsGetTheDefaultKindsNotTheLevel) {
  MintuTest::TempInstallTree tree;
  const std::string path = tree.Path("messages.log");
  Port::Stream* file = Port::File::open(path, Port::File::ACCESS_WRITE, false);
  ASSERT_NE(nullptr, file);
  std::ostringstream out;
  {
    CerrCapture cerr;
    MsgMan manager(MsgMan::DIAGNOSTIC_QUIET);
    Issue(PORT_MSG_ERROR, "before");
    manager.addMsgStream(out);
    manager.addMsgStream(*file);
    IssueEveryKind();
    Issue(PORT_MSG_STATUS, "100%s\n");
    manager.removeMsgStream(out);
    manager.removeMsgStream(*file);
    Issue(PORT_MSG_ERROR, "after");
    manager.removeMsgStream(out);  // not attached any more: nothing happens
    EXPECT_EQ("", cerr.Take());
  }
  ASSERT_TRUE(Port::File::close(file));
  const char* expected = "FATAL: 0\nERROR: 1\nWARNING: 4\nINFO: 7\nINFO: 100%s\n";
  EXPECT_EQ(expected, out.str());
  EXPECT_EQ(expected, MintuTest::TempInstallTree::ReadFile(path));
}

}  // namespace
