#include "port/Port_Msg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "port/Port_File.h"
#include "support/IssuedMessages.h"
#include "support/TempInstallTree.h"

namespace {

using Text = Port::StringBase<char>;

bool IsRegistered(Port_MsgMan* manager) {
  const std::list<Port_MsgMan*> all = Port_MsgDispatcher::getAllMsgMans();
  return std::find(all.begin(), all.end(), manager) != all.end();
}

// Records what it receives, and may unregister another manager (or itself)
// on the first message.
class Recorder : public Port_MsgMan {
 public:
  void handleMessage(const Port_Message& message) override {
    texts.push_back(message.text.str());
    if (victim != nullptr) {
      Port_MsgDispatcher::removeMsgMan(victim);
      victim = nullptr;
    }
  }
  std::vector<std::string> texts;
  Port_MsgMan* victim = nullptr;
};

// Unregisters whatever the test left registered.
struct Registration {
  explicit Registration(Port_MsgMan* m) : manager(m) { Port_MsgDispatcher::addMsgMan(m); }
  ~Registration() { Port_MsgDispatcher::removeMsgMan(manager); }
  Port_MsgMan* manager;
};

using Port_MsgIssueTest = MintuTest::IssuedMessages;

TEST_F(Port_MsgIssueTest, IssuingCarriesTheRecordsOrigin) {
  Port_MsgManData::createObject("mod", "Src_File", 42, "$Revision: 1.2 $")
      .issueError("bad %s: %d\n", "value", 7);
  Port_MsgManData::createObject("mod", "Other", 7, "r").issueWarning("%s", "%d%s");
  Port_MsgManData::createObject("m", "f", 1, "r").issue(PORT_MSG_PROGRESS, "p");
  ASSERT_EQ(issued.messages().size(), 3u);
  const Port_Message& first = issued.messages()[0];
  EXPECT_EQ(first.type, PORT_MSG_ERROR);
  EXPECT_EQ(first.module, "mod");
  EXPECT_EQ(first.file, "Src_File");
  EXPECT_EQ(first.line, 42);
  EXPECT_EQ(first.revision, "$Revision: 1.2 $");
  EXPECT_EQ(first.text, Text("bad value: 7\n"));
  EXPECT_EQ(issued.Texts(PORT_MSG_WARNING), std::vector<std::string>{"%d%s"});
  EXPECT_EQ(issued.Count(PORT_MSG_PROGRESS), 1u);
}

TEST(Port_MsgTest, DispatcherRegistrationAndRemoval) {
  Recorder a, b;
  EXPECT_EQ(Port_MsgDispatcher::addMsgMan(nullptr), 0);
  EXPECT_EQ(Port_MsgDispatcher::addMsgMan(&a), 1);
  EXPECT_EQ(Port_MsgDispatcher::addMsgMan(&a), 0);  // already there
  EXPECT_EQ(Port_MsgDispatcher::addMsgMan(&b), 1);
  const std::list<Port_MsgMan*> all = Port_MsgDispatcher::getAllMsgMans();
  const auto at = std::find(all.begin(), all.end(), &a);
  ASSERT_NE(at, all.end());
  EXPECT_EQ(*std::next(at), &b);  // registration order

  Port_MsgManData::createObject("m", "f", 1, "r").issueStatus("once");
  EXPECT_EQ(a.texts, std::vector<std::string>{"once"});  // not twice for the duplicate
  EXPECT_EQ(Port_MsgDispatcher::removeMsgMan(&a), 1);
  EXPECT_EQ(Port_MsgDispatcher::removeMsgMan(&a), 0);
  EXPECT_EQ(Port_MsgDispatcher::removeMsgMan(nullptr), 0);
  Port_MsgManData::createObject("m", "f", 1, "r").issueStatus("twice");
  EXPECT_EQ(a.texts.size(), 1u);
  EXPECT_EQ(b.texts, (std::vector<std::string>{"once", "twice"}));
  EXPECT_EQ(Port_MsgDispatcher::removeMsgMan(&b), 1);
  EXPECT_FALSE(IsRegistered(&b));

  // A manager removed during a dispatch is not called; one may remove itself.
  Recorder first, second, self;
  first.victim = &second;
  self.victim = &self;
  Registration r1(&first), r2(&second), r3(&self);
  Port_MsgManData::createObject("m", "f", 1, "r").issueStatus("one");
  EXPECT_TRUE(second.texts.empty());
  EXPECT_FALSE(IsRegistered(&second) || IsRegistered(&self));
  Port_MsgManData::createObject("m", "f", 1, "r").issueStatus("two");
  EXPECT_EQ(first.texts.size(), 2u);
  EXPECT_EQ(self.texts.size(), 1u);  // called once, then gone
}

TEST(Port_MsgTest, ActivationNests) {
  Recorder manager;
  EXPECT_TRUE(manager.isActive());
  manager.deactivate();
  manager.deactivate();
  manager.activate();
  EXPECT_FALSE(manager.isActive());
  manager.activate();
  EXPECT_TRUE(manager.isActive());
  manager.activate();  // an extra activate is not banked for later
  manager.deactivate();
  EXPECT_FALSE(manager.isActive());
}

TEST(Port_MsgTest, StreamWritesEnabledKindsAsLines) {
  Port_MsgStream stream("log");
  EXPECT_EQ(stream.getName(), "log");
  EXPECT_EQ(Port_MsgStream(nullptr).getName(), "");
  std::ostringstream errors;
  std::ostringstream everything;
  stream.addStream(errors);
  stream.addStream(everything);
  stream.addStream(errors);  // once only
  EXPECT_EQ(stream.getStreamCount(), 2u);
  stream.disableMsgType(errors, PORT_MSG_STATUS);
  stream.disableMsgType(errors, PORT_MSG_WARNING);
  const int more[] = {PORT_MSG_DEBUG, PORT_MSG_PROGRESS, 3, 32, -1};  // not 32, -1: no such kinds
  for (int type : more) stream.enableMsgType(everything, type);

  Registration registration(&stream);
  Port_MsgManData& record = Port_MsgManData::createObject("m", "f", 1, "r");
  record.issueFatal("f1");
  record.issueError("e1\n");
  record.issueWarning("w1");
  record.issueStatus("s1");
  record.issueDebug("d1");
  for (int type : more) {
    if (type != PORT_MSG_DEBUG) record.issue(type, "%d", type);
  }
  stream.deactivate();
  record.issueError("hidden");
  stream.activate();
  stream.removeStream(everything);
  record.issueError("e2");
  EXPECT_EQ(errors.str(), "FATAL: f1\nERROR: e1\nERROR: e2\n");
  EXPECT_EQ(everything.str(),
            "FATAL: f1\nERROR: e1\nWARNING: w1\nINFO: s1\nDEBUG: d1\nPROGRESS: 8\nMESSAGE: 3\n");
  EXPECT_TRUE(stream.isMsgTypeEnabled(errors, PORT_MSG_FATAL));
  EXPECT_FALSE(stream.isMsgTypeEnabled(errors, PORT_MSG_WARNING));
  EXPECT_FALSE(stream.isMsgTypeEnabled(everything, PORT_MSG_ERROR));
  EXPECT_EQ(stream.getStreamCount(), 1u);
}

TEST(Port_MsgTest, StreamWritesToFiles) {
  MintuTest::TempInstallTree tree;
  const std::string path = tree.Path("log.txt");
  Port::Stream* file = Port::File::open(Text(path), Port::File::ACCESS_WRITE, false);
  ASSERT_NE(file, nullptr);
  {
    Port_MsgStream stream;
    stream.addStream(*file);
    stream.disableMsgType(*file, PORT_MSG_ERROR);
    Registration registration(&stream);
    Port_MsgManData::createObject("m", "f", 1, "r").issueError("no");
    Port_MsgManData::createObject("m", "f", 1, "r").issueWarning("%s", "yes");
    stream.removeStream(*file);
  }
  ASSERT_TRUE(Port::File::close(file));
  EXPECT_EQ(MintuTest::TempInstallTree::ReadFile(path), "WARNING: yes\n");
}

TEST(Port_MsgTest, DebugStubShowsNothing) {
  MintuTest::MessageCapture capture;
  const unsigned long before = Port_MsgManData::debugStubCount();
  Port_MsgManData::debugStub("stub %d", 5);
  EXPECT_EQ(Port_MsgManData::debugStubCount(), before + 1);
  EXPECT_EQ(Port_MsgManData::lastDebugStub(), Text("stub 5"));
  EXPECT_TRUE(capture.messages().empty());
}

}  // namespace
