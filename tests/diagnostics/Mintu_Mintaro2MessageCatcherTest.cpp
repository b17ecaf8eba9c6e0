// The bridge's functions called through a stand-in JNIEnv, for what a real
// JVM cannot be made to do: fail to give the characters, meet a manager that
// throws, or show whether the characters are still held while the message
// goes out. Kinds, texts and linking by name are tested in the real JVM
// (Mintu_Mintaro2MessageCatcherJvmTest.cpp).
#include "port/Port_Jni.h"

#include "mintu/Mintu_Mintaro2MessageCatcher.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/IssuedMessages.h"
#include "support/LoggerLevel.h"

namespace {

typedef void(JNICALL* Native)(JNIEnv*, jobject, jstring);

const Native kNatives[] = {
    &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputInfoMessageN,
    &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputWarningMessageN,
    &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputErrorMessageN,
    &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputDebugMessageN};

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
  FakeJniTest() : table_() {
    table_.GetStringUTFChars = &FakeGetStringUTFChars;
    table_.ReleaseStringUTFChars = &FakeReleaseStringUTFChars;
    env_.functions = &table_;
    calls = &calls_;
  }
  ~FakeJniTest() override { calls = nullptr; }

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
  MintuTest::LoggerLevel java_{"javavm", Mintu::DebugMessenger::DEBUG_NORMAL};
};

// Records whether the characters were still held when a message arrived,
// and may then throw.
class Observer : public Port_MsgMan {
 public:
  void handleMessage(const Port_Message&) override {
    heldWhenIssued.push_back(calls != nullptr && calls->released.empty());
    if (throws) throw std::runtime_error("manager failed");
  }
  std::vector<bool> heldWhenIssued;
  bool throws = false;
};

TEST_F(FakeJniTest, CharactersAreGivenBackAfterIssuingEvenWhenAManagerThrows) {
  Observer observer;
  Port_MsgDispatcher::addMsgMan(&observer);
  for (Native native : kNatives) Call(native, "x");
  observer.throws = true;
  for (Native native : kNatives) EXPECT_NO_THROW(Call(native, "fails to show"));
  Port_MsgDispatcher::removeMsgMan(&observer);
  EXPECT_EQ(std::vector<bool>(8, true), observer.heldWhenIssued);
}

TEST_F(FakeJniTest, NullStringAndUnavailableCharacters) {
  for (Native native : kNatives) {
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

}  // namespace
