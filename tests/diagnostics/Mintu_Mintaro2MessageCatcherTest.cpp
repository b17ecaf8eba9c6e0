// The bridge's functions called through a stand-in JNIEnv that records how
// the characters of a string are taken and given back. The real JVM test is
// Mintu_Mintaro2MessageCatcherJvmTest.cpp.
#include "port/Port_Jni.h"

#include "mintu/Mintu_Mintaro2MessageCatcher.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "mintu/Mintu_DebugMessengerFactory.h"
#include "support/IssuedMessages.h"

namespace {

using Mintu::DebugMessenger;
using Mintu::DebugMessengerFactory;

typedef void(JNICALL* Native)(JNIEnv*, jobject, jstring);

const Native kInfo = &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputInfoMessageN;
const Native kWarning =
    &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputWarningMessageN;
const Native kError = &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputErrorMessageN;
const Native kDebug = &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputDebugMessageN;

// What the stand-in environment saw.
struct Calls {
  std::vector<jstring> got;
  std::vector<bool> isCopyWasNull;
  std::vector<std::pair<jstring, const char*> > released;
  bool failGet = false;
};
Calls* calls = nullptr;

// A Java string as the stand-in knows it: its modified UTF-8 bytes.
struct FakeString {
  std::string chars;
};

const char* JNICALL FakeGetStringUTFChars(JNIEnv*, jstring text, jboolean* isCopy) {
  calls->got.push_back(text);
  calls->isCopyWasNull.push_back(isCopy == nullptr);
  if (calls->failGet) return nullptr;
  return reinterpret_cast<FakeString*>(text)->chars.c_str();
}

void JNICALL FakeReleaseStringUTFChars(JNIEnv*, jstring text, const char* chars) {
  calls->released.emplace_back(text, chars);
}

class FakeJniTest : public MintuTest::IssuedMessages {
 protected:
  FakeJniTest() : table_(), savedRoot_(root()->GetLevel()), savedJava_(java()->GetLevel()) {
    table_.GetStringUTFChars = &FakeGetStringUTFChars;
    table_.ReleaseStringUTFChars = &FakeReleaseStringUTFChars;
    env_.functions = &table_;
    calls = &calls_;
  }
  ~FakeJniTest() override {
    calls = nullptr;
    root()->SetLevel(savedRoot_);
    java()->SetLevel(savedJava_);
  }
  static DebugMessenger* root() { return DebugMessengerFactory::GetLogger(); }
  static DebugMessenger* java() { return DebugMessengerFactory::GetLogger("javavm"); }

  // Calls `native` with `text` and checks the characters were taken once,
  // without asking about copies, and given back once, exactly as taken.
  void Call(Native native, const std::string& text) {
    FakeString string{text};
    const jstring handle = reinterpret_cast<jstring>(&string);
    calls_ = Calls();
    native(&env_, nullptr, handle);
    ASSERT_EQ(std::vector<jstring>{handle}, calls_.got);
    EXPECT_TRUE(calls_.isCopyWasNull.front());
    ASSERT_EQ(1u, calls_.released.size());
    EXPECT_EQ(handle, calls_.released.front().first);
    EXPECT_EQ(string.chars.c_str(), calls_.released.front().second);
  }

  JNINativeInterface_ table_;
  JNIEnv env_;
  Calls calls_;
  DebugMessenger::DebugLevel savedRoot_;
  DebugMessenger::DebugLevel savedJava_;
};

// Gives the characters back only after the message went out: records
// whether they were still held when a message arrived.
class ReleaseOrderCheck : public Port_MsgMan {
 public:
  void handleMessage(const Port_Message&) override {
    heldWhenIssued.push_back(calls != nullptr && calls->released.empty());
  }
  std::vector<bool> heldWhenIssued;
};

class ThrowingManager : public Port_MsgMan {
 public:
  void handleMessage(const Port_Message&) override { throw std::runtime_error("manager failed"); }
};

TEST_F(FakeJniTest, IssuesEachKindWithTheTextAsReceived) {
  struct Case {
    Native native;
    int kind;
  };
  const Case cases[] = {
      {kInfo, PORT_MSG_STATUS}, {kWarning, PORT_MSG_WARNING}, {kError, PORT_MSG_ERROR}};
  const std::string texts[] = {"plain", "100%d %s %n", "", "no line feed added",
                               "caf\xc3\xa9 \xc0\x80 \xed\xa0\xbd"};
  for (const Case& c : cases) {
    for (const std::string& text : texts) {
      SCOPED_TRACE(testing::Message() << c.kind << " " << text);
      issued.Clear();
      Call(c.native, text);
      ASSERT_EQ(1u, issued.messages().size());
      const Port_Message& message = issued.messages().front();
      EXPECT_EQ(c.kind, message.type);
      EXPECT_EQ(text, message.text.str());
      EXPECT_EQ("mintutil", message.module);
      EXPECT_EQ("Mintu_Mintaro2MessageCatcher", message.file);
      EXPECT_EQ("$Revision: 1.10.368.2 $", message.revision);
      EXPECT_GT(message.line, 0);
    }
  }
}

TEST_F(FakeJniTest, DebugGoesToTheJavaLogger) {
  root()->SetLevel(DebugMessenger::DEBUG_OFF);
  java()->SetLevel(DebugMessenger::DEBUG_UNSET);
  Call(kDebug, "hidden");
  EXPECT_TRUE(issued.messages().empty());

  java()->SetLevel(DebugMessenger::DEBUG_NORMAL);
  Call(kDebug, "shown %s");
  Call(kDebug, "");
  Call(kDebug, "ends\n");
  EXPECT_EQ((std::vector<std::string>{"DEBUG[javavm] - shown %s\n", "DEBUG[javavm] - \n",
                                      "DEBUG[javavm] - ends\n"}),
            issued.Texts(PORT_MSG_STATUS));
  EXPECT_EQ(3u, issued.messages().size());
  EXPECT_EQ("Mintu_DebugMessenger", issued.messages().front().file);

  // Following a verbose root.
  issued.Clear();
  java()->SetLevel(DebugMessenger::DEBUG_UNSET);
  root()->SetLevel(DebugMessenger::DEBUG_VERBOSE);
  Call(kDebug, "from the root");
  EXPECT_EQ(std::vector<std::string>{"DEBUG[javavm] - from the root\n"},
            issued.Texts(PORT_MSG_STATUS));
  java()->SetLevel(DebugMessenger::DEBUG_OFF);
  Call(kDebug, "silenced");
  EXPECT_EQ(1u, issued.messages().size());
}

TEST_F(FakeJniTest, CharactersAreGivenBackAfterIssuing) {
  ReleaseOrderCheck check;
  Port_MsgDispatcher::addMsgMan(&check);
  java()->SetLevel(DebugMessenger::DEBUG_NORMAL);
  for (Native native : {kInfo, kWarning, kError, kDebug}) Call(native, "x");
  Port_MsgDispatcher::removeMsgMan(&check);
  EXPECT_EQ(std::vector<bool>(4, true), check.heldWhenIssued);
}

TEST_F(FakeJniTest, NoExceptionLeavesAndCharactersAreStillGivenBack) {
  ThrowingManager thrower;
  Port_MsgDispatcher::addMsgMan(&thrower);
  java()->SetLevel(DebugMessenger::DEBUG_NORMAL);
  for (Native native : {kInfo, kWarning, kError, kDebug}) {
    EXPECT_NO_THROW(Call(native, "fails to show"));
  }
  Port_MsgDispatcher::removeMsgMan(&thrower);
}

TEST_F(FakeJniTest, NullStringAndUnavailableCharacters) {
  java()->SetLevel(DebugMessenger::DEBUG_NORMAL);
  for (Native native : {kInfo, kWarning, kError, kDebug}) {
    // A null String: the JVM is not asked for characters, nothing is issued.
    calls_ = Calls();
    native(&env_, nullptr, nullptr);
    EXPECT_TRUE(calls_.got.empty());
    EXPECT_TRUE(calls_.released.empty());

    // The JVM could not give the characters: nothing to issue nor give back.
    FakeString string{"lost"};
    calls_ = Calls();
    calls_.failGet = true;
    native(&env_, nullptr, reinterpret_cast<jstring>(&string));
    EXPECT_EQ(1u, calls_.got.size());
    EXPECT_TRUE(calls_.released.empty());
  }
  EXPECT_TRUE(issued.messages().empty());
}

TEST(MessageCatcherExportTest, FunctionsAreExportedUnderTheirJavaNames) {
  const char* const names[] = {
      "Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputInfoMessageN",
      "Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputWarningMessageN",
      "Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputErrorMessageN",
      "Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputDebugMessageN"};
  const Native natives[] = {kInfo, kWarning, kError, kDebug};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(names[i]);
    void* symbol = dlsym(RTLD_DEFAULT, names[i]);
    ASSERT_NE(nullptr, symbol);
    EXPECT_EQ(reinterpret_cast<void*>(natives[i]), symbol);
  }
}

}  // namespace
