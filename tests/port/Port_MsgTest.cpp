#include "port/Port_Msg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "port/Port_File.h"
#include "support/IssuedMessages.h"
#include "support/TempInstallTree.h"

bool IsRegistered(Port_MsgMan* manager) {
  const std::list<Port_MsgMan*> all = Port_MsgDispatcher::getAllMsgMans();
  return std::find(all.begin(), all.end(), manager) != all.end();
}

using Text = Port::StringBase<char>;

Port_MsgManData& Record() { return Port_MsgManData::createObject("m", "f", 1, "r"); }

// Records the texts it receives, and may unregister a manager on the first.
struct Recorder : Port_MsgMan {
  void handleMessage(const Port_Message& message) override {
    texts += message.text.str() + ";";
    if (victim != nullptr) Port_MsgDispatcher::removeMsgMan(victim);
    victim = nullptr;
  }
  std::string texts;
  Port_MsgMan* victim = nullptr;
};

TEST(Port_MsgTest, IssuingCarriesTheRecordsOrigin) {
  MintuTest::MessageCapture issued;
  Port_MsgManData::createObject("mod", "Src_File", 42, "$Revision: 1.2 $")
      .issueError("bad %s: %d\n", "value", 7);
  Port_MsgManData::createObject("mod", "Other", 7, "r").issueWarning("%s", "%d%s");
  ASSERT_EQ(issued.messages().size(), 2u);
  const Port_Message& first = issued.messages()[0];
  EXPECT_EQ(first.module + "|" + first.file + "|" + first.revision,
            "mod|Src_File|$Revision: 1.2 $");
  EXPECT_TRUE(first.type == PORT_MSG_ERROR && first.line == 42 &&
              first.text == Text("bad value: 7\n"));
  EXPECT_EQ(issued.Texts(PORT_MSG_WARNING), std::vector<std::string>{"%d%s"});
}

TEST(Port_MsgTest, DispatcherRegistrationAndRemoval) {
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
  Record().issueStatus("one");
  Record().issueStatus("two");
  EXPECT_EQ(a.texts + " " + b.texts + " " + self.texts, "one;two; ; one;");  // not twice for a
  EXPECT_FALSE(IsRegistered(&b) || IsRegistered(&self));
  EXPECT_EQ(Port_MsgDispatcher::removeMsgMan(&a), 1);
  EXPECT_EQ(Port_MsgDispatcher::removeMsgMan(&a) + Port_MsgDispatcher::removeMsgMan(nullptr), 0);
  Record().issueStatus("three");
  EXPECT_EQ(a.texts, "one;two;");
}

TEST(Port_MsgTest, ActivationNests) {
  Recorder manager;
  manager.deactivate();
  manager.deactivate();
  manager.activate();
  EXPECT_FALSE(manager.isActive());
  manager.activate();
  manager.activate();  // an extra activate is not banked for later
  EXPECT_TRUE(manager.isActive());
  manager.deactivate();
  EXPECT_FALSE(manager.isActive());
}

TEST(Port_MsgTest, StreamWritesEnabledKindsAsLines) {
  MintuTest::TempInstallTree tree;
  Port::Stream* file =
      Port::File::open(Text(tree.Path("log.txt")), Port::File::ACCESS_WRITE, false);
  ASSERT_NE(file, nullptr);
  std::ostringstream errors, everything;
  Port_MsgStream stream("log");
  EXPECT_EQ(stream.getName() + Port_MsgStream(nullptr).getName(), "log");
  stream.addStream(errors);
  stream.addStream(everything);
  stream.addStream(*file);
  stream.addStream(errors);  // once only
  EXPECT_EQ(stream.getStreamCount(), 3u);
  stream.disableMsgType(errors, PORT_MSG_STATUS);
  stream.disableMsgType(errors, PORT_MSG_WARNING);
  stream.disableMsgType(*file, PORT_MSG_ERROR);
  for (int type : {PORT_MSG_DEBUG, 3, 32, -1})
    stream.enableMsgType(everything, type);  // no kinds 32, -1
  Port_MsgDispatcher::addMsgMan(&stream);
  Port_MsgManData& record = Record();
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
  EXPECT_FALSE(stream.isMsgTypeEnabled(errors, PORT_MSG_WARNING) ||
               stream.isMsgTypeEnabled(everything, PORT_MSG_ERROR));
  ASSERT_TRUE(Port::File::close(file));  // every flush succeeded
  EXPECT_EQ(MintuTest::TempInstallTree::ReadFile(tree.Path("log.txt")),
            "FATAL: f1\nWARNING: w1\nINFO: s1\n");
}

TEST(Port_MsgTest, DebugStubShowsNothing) {
  MintuTest::MessageCapture capture;
  const unsigned long before = Port_MsgManData::debugStubCount();
  Port_MsgManData::debugStub("stub %d", 5);
  EXPECT_EQ(Port_MsgManData::debugStubCount(), before + 1);
  EXPECT_EQ(Port_MsgManData::lastDebugStub(), Text("stub 5"));
  EXPECT_TRUE(capture.messages().empty());
}
