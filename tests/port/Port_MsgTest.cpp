#include "port/Port_Msg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "port/Port_File.h"
#include "support/TempInstallTree.h"

using Text = Port::StringBase<char>;

// Records what it receives, and may unregister a manager on the first message.
struct Recorder : Port_MsgMan {
  void handleMessage(const Port_Message& message) override {
    texts += message.text.str() + ";";
    last = message;
    if (victim != nullptr) Port_MsgDispatcher::removeMsgMan(victim);
    victim = nullptr;
  }
  std::string texts;
  Port_Message last;
  Port_MsgMan* victim = nullptr;
};

TEST(Port_MsgTest, DispatcherRegistrationRemovalAndNestedActivation) {
  Recorder a, b, self;
  EXPECT_EQ(Port_MsgDispatcher::addMsgMan(nullptr), 0);
  EXPECT_EQ(Port_MsgDispatcher::addMsgMan(&a), 1);
  EXPECT_EQ(Port_MsgDispatcher::addMsgMan(&a), 0);  // already there
  EXPECT_EQ(Port_MsgDispatcher::addMsgMan(&b) + Port_MsgDispatcher::addMsgMan(&self), 2);
  const std::list<Port_MsgMan*> all = Port_MsgDispatcher::getAllMsgMans();
  EXPECT_EQ(*std::next(std::find(all.begin(), all.end(), &a)), &b);  // registration order
  // A manager removed during a dispatch is not called; one may remove itself.
  a.victim = &b;
  self.victim = &self;
  Port_MsgManData::createObject("mod", "Src_File", 42, "$Revision: 1.2 $").issueError("%s", "v");
  Port_MsgManData::createObject("m", "f", 1, "r").issueStatus("two");
  EXPECT_EQ(a.texts + "|" + b.texts + "|" + self.texts, "v;two;||v;");  // once each for a
  const Port_Message& m = self.last;  // carries the record's origin
  EXPECT_EQ(m.module + "|" + m.file + "|" + std::to_string(m.line) + "|" + m.revision,
            "mod|Src_File|42|$Revision: 1.2 $");
  EXPECT_EQ(Port_MsgDispatcher::removeMsgMan(&b) + Port_MsgDispatcher::removeMsgMan(&self), 0);
  EXPECT_EQ(Port_MsgDispatcher::removeMsgMan(&a), 1);
  EXPECT_EQ(Port_MsgDispatcher::removeMsgMan(&a) + Port_MsgDispatcher::removeMsgMan(nullptr), 0);
  std::string states;
  for (const char step : std::string("ddaaad")) {
    step == 'd' ? a.deactivate() : a.activate();
    states += a.isActive() ? '+' : '-';
  }
  EXPECT_EQ(states, "---++-");  // an extra activate is not banked for later
}

TEST(Port_MsgTest, StreamWritesEnabledKindsAsLines) {
  MintuTest::TempInstallTree tree;
  Port::Stream* file = Port::File::open(Text(tree.Path("log")), Port::File::ACCESS_WRITE, false);
  ASSERT_NE(file, nullptr);
  std::ostringstream errors, everything;
  Port_MsgStream stream;
  stream.addStream(errors);
  stream.addStream(everything);
  stream.addStream(*file);
  stream.addStream(errors);  // once only
  EXPECT_EQ(stream.getStreamCount(), 3u);
  stream.disableMsgType(errors, PORT_MSG_STATUS);
  stream.disableMsgType(errors, PORT_MSG_WARNING);
  stream.disableMsgType(*file, PORT_MSG_ERROR);
  // There are no kinds 32 and -1.
  for (int type : {int{PORT_MSG_DEBUG}, 3, 32, -1}) stream.enableMsgType(everything, type);
  Port_MsgDispatcher::addMsgMan(&stream);
  Port_MsgManData& record = Port_MsgManData::createObject("m", "f", 1, "r");
  record.issueFatal("f1");
  record.issueError("e1\n");
  record.issueWarning("w1");
  record.issueStatus("s1");
  record.issueDebug("d1");
  for (int type : {3, 32, -1}) record.issue(type, "%d", type);
  stream.deactivate();
  record.issueError("hidden");
  stream.activate();
  stream.removeStream(everything);
  stream.removeStream(*file);
  record.issueError("e2");
  Port_MsgDispatcher::removeMsgMan(&stream);
  EXPECT_EQ(errors.str(), "FATAL: f1\nERROR: e1\nERROR: e2\n");
  EXPECT_EQ(everything.str(),
            "FATAL: f1\nERROR: e1\nWARNING: w1\nINFO: s1\nDEBUG: d1\nMESSAGE: 3\n");
  ASSERT_TRUE(Port::File::close(file));  // every flush succeeded
  EXPECT_EQ(MintuTest::TempInstallTree::ReadFile(tree.Path("log")),
            "FATAL: f1\nWARNING: w1\nINFO: s1\n");
}
