#include "mintu/Mintu_MsgMan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <list>
#include <sstream>
#include <string>
#include <vector>

#include "port/Port_File.h"
#include "support/IssuedMessages.h"
#include "support/TempInstallTree.h"

namespace {

using Mintu::MsgMan;

const int ALL_KINDS[] = {PORT_MSG_FATAL,   PORT_MSG_ERROR,  PORT_MSG_DEBUG,
                         PORT_MSG_WARNING, PORT_MSG_STATUS, PORT_MSG_PROGRESS};

// Takes what is written to std::cerr for as long as it lives.
class CerrCapture {
 public:
  CerrCapture() : saved_(std::cerr.rdbuf(buffer_.rdbuf())) {}
  ~CerrCapture() { std::cerr.rdbuf(saved_); }
  std::string str() const { return buffer_.str(); }
  void Clear() { buffer_.str(std::string()); }

 private:
  std::ostringstream buffer_;
  std::streambuf* saved_;
};

Port_Message Issue(int kind, const std::string& text) {
  Port_MsgManData::createObject("mintutest", "Mintu_MsgManTest", 1, "$Revision: 0 $")
      .issue(kind, "%s", text.c_str());
  Port_Message message;
  message.type = kind;
  message.text = text;
  return message;
}

// Issues one message of every kind; returns the lines an output showing
// `shown` kinds must have received, in order.
std::string IssueEveryKind(const std::vector<int>& shown) {
  std::string expected;
  for (int kind : ALL_KINDS) {
    const Port_Message message = Issue(kind, "message of kind " + std::to_string(kind));
    if (std::find(shown.begin(), shown.end(), kind) != shown.end()) {
      expected += Port_MsgStream::formatLine(message);
    }
  }
  return expected;
}

bool IsRegistered(const Port_MsgMan* manager) {
  const std::list<Port_MsgMan*> all = Port_MsgDispatcher::getAllMsgMans();
  return std::find(all.begin(), all.end(), manager) != all.end();
}

TEST(MsgManTest, KindsOnTheErrorStreamAtEachLevel) {
  struct Case {
    int level;
    std::vector<int> shown;
  };
  const Case cases[] = {
      {MsgMan::DIAGNOSTIC_QUIET, {}},
      {MsgMan::DIAGNOSTIC_REDUCED, {PORT_MSG_FATAL, PORT_MSG_ERROR, PORT_MSG_WARNING}},
      {MsgMan::DIAGNOSTIC_NORMAL,
       {PORT_MSG_FATAL, PORT_MSG_ERROR, PORT_MSG_WARNING, PORT_MSG_STATUS, PORT_MSG_PROGRESS}},
      {MsgMan::DIAGNOSTIC_FULL,
       {PORT_MSG_FATAL, PORT_MSG_ERROR, PORT_MSG_DEBUG, PORT_MSG_WARNING, PORT_MSG_STATUS}},
      // Any other value acts as NORMAL.
      {7, {PORT_MSG_FATAL, PORT_MSG_ERROR, PORT_MSG_WARNING, PORT_MSG_STATUS, PORT_MSG_PROGRESS}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    CerrCapture cerr;
    {
      MsgMan manager(static_cast<MsgMan::DiagnosticLevel>(c.level));
      EXPECT_EQ(c.level, manager.GetLevel());
      for (int kind : ALL_KINDS) {
        const bool shown = std::find(c.shown.begin(), c.shown.end(), kind) != c.shown.end();
        EXPECT_EQ(shown, manager.GetMsgStream().isMsgTypeEnabled(std::cerr, kind)) << kind;
      }
      const std::string expected = IssueEveryKind(c.shown);
      EXPECT_EQ(expected, cerr.str());
    }
    // Gone with its manager.
    cerr.Clear();
    Issue(PORT_MSG_ERROR, "after");
    EXPECT_EQ("", cerr.str());
  }
}

TEST(MsgManTest, RegisteredForItsLifetimeOnly) {
  std::ostringstream extra;
  const Port_MsgMan* stream = nullptr;
  {
    CerrCapture cerr;
    MsgMan manager;
    EXPECT_EQ(MsgMan::DIAGNOSTIC_NORMAL, manager.GetLevel());
    stream = &manager.GetMsgStream();
    EXPECT_TRUE(IsRegistered(stream));
    EXPECT_EQ(stream, Port_MsgDispatcher::getAllMsgMans().back());
    manager.addMsgStream(extra);
    // Destroyed with an output still attached.
  }
  EXPECT_FALSE(IsRegistered(stream));
  Issue(PORT_MSG_ERROR, "nobody");
  EXPECT_EQ("", extra.str());
}

TEST(MsgManTest, NestedManagersDeactivateAndActivate) {
  MintuTest::MessageCapture host;
  CerrCapture cerr;
  {
    MsgMan outer(MsgMan::DIAGNOSTIC_REDUCED);
    EXPECT_EQ(1, host.deactivations());
    EXPECT_EQ(0, host.activations());
    EXPECT_TRUE(outer.GetMsgStream().isActive());
    {
      MsgMan inner;
      EXPECT_EQ(2, host.deactivations());
      EXPECT_FALSE(outer.GetMsgStream().isActive());
      EXPECT_TRUE(inner.GetMsgStream().isActive());
      // Only the innermost writes, so the line appears once.
      cerr.Clear();
      const Port_Message warning = Issue(PORT_MSG_WARNING, "once");
      EXPECT_EQ(Port_MsgStream::formatLine(warning), cerr.str());
    }
    EXPECT_EQ(2, host.deactivations());
    EXPECT_EQ(1, host.activations());
    EXPECT_TRUE(outer.GetMsgStream().isActive());
    cerr.Clear();
    const Port_Message error = Issue(PORT_MSG_ERROR, "outer again");
    Issue(PORT_MSG_STATUS, "not at reduced level");
    EXPECT_EQ(Port_MsgStream::formatLine(error), cerr.str());
  }
  EXPECT_EQ(2, host.deactivations());
  EXPECT_EQ(2, host.activations());
  EXPECT_TRUE(host.isActive());
  const std::list<Port_MsgMan*> expected{&host};
  EXPECT_EQ(expected, Port_MsgDispatcher::getAllMsgMans());
}

TEST(MsgManTest, AttachedOutputsGetTheDefaultKindsNotTheLevel) {
  MintuTest::TempInstallTree tree;
  const std::string path = tree.Path("messages.log");
  Port::Stream* file = Port::File::open(path, Port::File::ACCESS_WRITE, false);
  ASSERT_NE(nullptr, file);
  std::ostringstream out;
  std::string expected;
  {
    CerrCapture cerr;
    MsgMan manager(MsgMan::DIAGNOSTIC_QUIET);
    Issue(PORT_MSG_ERROR, "before");
    manager.addMsgStream(out);
    manager.addMsgStream(*file);
    expected = IssueEveryKind({PORT_MSG_FATAL, PORT_MSG_ERROR, PORT_MSG_WARNING, PORT_MSG_STATUS});
    expected += Port_MsgStream::formatLine(Issue(PORT_MSG_STATUS, "100%s\n"));
    manager.removeMsgStream(out);
    manager.removeMsgStream(*file);
    Issue(PORT_MSG_ERROR, "after");
    manager.removeMsgStream(out);  // not attached any more: nothing happens
    EXPECT_EQ("", cerr.str());
  }
  ASSERT_TRUE(Port::File::close(file));
  EXPECT_EQ(expected, out.str());
  EXPECT_EQ(expected, MintuTest::TempInstallTree::ReadFile(path));
}

}  // namespace
