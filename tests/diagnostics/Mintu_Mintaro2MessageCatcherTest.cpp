// The message bridge in a real JVM started here (the Java class loads the
// library and the JVM links the natives by their exported names), and through
// a stand-in JNIEnv for what a JVM cannot be made to do.
#include "port/Port_Jni.h"

#include "mintu/Mintu_Mintaro2MessageCatcher.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/IssuedMessages.h"
#include "support/LoggerLevel.h"

// Under LeakSanitizer: the JVM is never destroyed (a process can make only one).
#ifndef MINTU_TEST_NO_JVM
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libjvm.so\nleak:libjava.so\n";
}
#endif

namespace {

using D = Mintu::DebugMessenger;
using namespace std::string_literals;

enum Route { kInfo, kWarning, kError, kDebug };
JNIEnv* env = nullptr;
jclass catcher = nullptr;

// Calls the native of `route` with `text` (null: a null String); true if a Java exception came.
bool Call(Route route, const std::u16string* text) {
  const char* const names[] = {"outputInfoMessageN", "outputWarningMessageN", "outputErrorMessageN",
                               "outputDebugMessageN"};
  jstring string = text == nullptr ? nullptr
                                   : env->NewString(reinterpret_cast<const jchar*>(text->data()),
                                                    static_cast<jsize>(text->size()));
  env->CallStaticVoidMethod(
      catcher, env->GetStaticMethodID(catcher, names[route], "(Ljava/lang/String;)V"), string);
  const bool thrown = env->ExceptionCheck();
  env->ExceptionClear();
  if (string != nullptr) env->DeleteLocalRef(string);
  return thrown;
}

// Starts the one JVM of the process (never destroyed) and loads the library
// into it; the reason it cannot, or empty.
std::string StartJvm() {
#ifdef MINTU_TEST_NO_JVM
  return "no JVM";
#else
  std::string classPath = "-Djava.class.path="s + MINTU_TEST_JAVA_CLASSES;
  JavaVMOption options[3] = {{const_cast<char*>(classPath.c_str()), nullptr},
                             {const_cast<char*>("-Xcheck:jni"), nullptr},
                             {const_cast<char*>("-Xss1m"), nullptr}};
  JavaVMInitArgs args{JNI_VERSION_1_8, 3, options, JNI_FALSE};
  JavaVM* vm = nullptr;
  if (JNI_CreateJavaVM(&vm, reinterpret_cast<void**>(&env), &args) != JNI_OK) return "no JVM made";
  catcher = env->FindClass("com/orvane/mintutil/mintaro2/Mintaro2MessageCatcher");
  if (catcher == nullptr) return "test class not found";
  // The library's code is in this process already, yet nothing is linked before it is loaded.
  const std::u16string text = u"x";
  if (!Call(kInfo, &text)) return "a native linked before System.load";
  env->CallStaticVoidMethod(catcher,
                            env->GetStaticMethodID(catcher, "load", "(Ljava/lang/String;)V"),
                            env->NewStringUTF(MINTU_TEST_LIBRARY));
  return env->ExceptionCheck() ? "System.load failed" : "";
#endif
}

class JvmBridgeTest : public MintuTest::IssuedMessages {
 protected:
  void SetUp() override {
#ifdef MINTU_TEST_NO_JVM
    GTEST_SKIP() << "no JVM for this platform in the build; the stand-in JNIEnv covers the bridge";
#endif
    static const std::string failure = StartJvm();
    ASSERT_EQ("", failure);
    issued.Clear();
  }
};

TEST_F(JvmBridgeTest, KindsAndTextsByteForByte) {
  const int kinds[] = {PORT_MSG_STATUS, PORT_MSG_WARNING, PORT_MSG_ERROR};
  const struct {
    std::u16string java;
    std::string bytes;  // modified UTF-8
  } texts[] = {
      {u"progress 100%d %s", "progress 100%d %s"},
      {u"", ""},
      {u"line\n", "line\n"},
      // A surrogate pair is two 3-byte sequences, U+0000 two bytes, never a terminating zero.
      {u"caf\u00e9 \u4e2d \U0001F600 a\0b"s,
       "caf\xc3\xa9 \xe4\xb8\xad \xed\xa0\xbd\xed\xb8\x80 a\xc0\x80"
       "b"}};
  for (Route route : {kInfo, kWarning, kError}) {
    for (const auto& t : texts) {
      SCOPED_TRACE(testing::Message() << route << " " << t.bytes);
      issued.Clear();
      ASSERT_FALSE(Call(route, &t.java));
      ASSERT_EQ(1u, issued.messages().size());
      const Port_Message& message = issued.messages().front();
      EXPECT_EQ(kinds[route], message.type);
      EXPECT_EQ(t.bytes, message.text.str());
      EXPECT_EQ("mintutil Mintu_Mintaro2MessageCatcher $Revision: 1.10.368.2 $",
                message.module + " " + message.file + " " + message.revision);
    }
  }
  issued.Clear();
  for (Route route : {kInfo, kWarning, kError, kDebug}) EXPECT_FALSE(Call(route, nullptr));
  EXPECT_TRUE(issued.messages().empty()) << "a null String issues nothing";
}

TEST_F(JvmBridgeTest, DebugLineOnlyWhenTheJavaLoggerPassesNormalLines) {
  const struct {
    D::DebugLevel root, java;
    bool shown;
  } cases[] = {{D::DEBUG_OFF, D::DEBUG_UNSET, false},
               {D::DEBUG_OFF, D::DEBUG_NORMAL, true},
               {D::DEBUG_VERBOSE, D::DEBUG_UNSET, true},
               {D::DEBUG_VERBOSE, D::DEBUG_OFF, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "root " << c.root << " javavm " << c.java);
    MintuTest::LoggerLevel root("root", c.root), java("javavm", c.java);
    issued.Clear();
    for (const std::u16string& text : {u"step %d of \u00e9"s, u"done\n"s})
      ASSERT_FALSE(Call(kDebug, &text));
    std::vector<std::string> expected;
    if (c.shown) expected = {"DEBUG[javavm] - step %d of \xc3\xa9\n", "DEBUG[javavm] - done\n"};
    EXPECT_EQ(expected, issued.Texts(PORT_MSG_STATUS));
    EXPECT_EQ(expected.size(), issued.messages().size());
  }
}

// The stand-in: a jstring points at a std::string of modified UTF-8 bytes.
struct FakeCalls {
  int got = 0, released = 0;
  bool failGet = false;
} fake;

const char* JNICALL FakeGet(JNIEnv*, jstring text, jboolean* isCopy) {
  ++fake.got;
  EXPECT_EQ(nullptr, isCopy);
  return fake.failGet ? nullptr : reinterpret_cast<const std::string*>(text)->c_str();
}

void JNICALL FakeRelease(JNIEnv*, jstring text, const char* chars) {
  ++fake.released;
  EXPECT_EQ(reinterpret_cast<const std::string*>(text)->c_str(), chars);
}

// Counts the messages that come while the characters are still held, then throws.
struct ThrowingManager : Port_MsgMan {
  void handleMessage(const Port_Message&) override {
    heldWhenIssued += fake.got == 1 && fake.released == 0;
    throw std::runtime_error("manager failed");
  }
  int heldWhenIssued = 0;
};

TEST(FakeJniTest, CharactersAreGivenBackAfterIssuingWhateverHappens) {
  JNINativeInterface_ table{};
  table.GetStringUTFChars = &FakeGet;
  table.ReleaseStringUTFChars = &FakeRelease;
  JNIEnv fakeEnv{&table};
  MintuTest::LoggerLevel java("javavm", D::DEBUG_NORMAL);
  ThrowingManager manager;
  Port_MsgDispatcher::addMsgMan(&manager);
  for (auto* native :
       {&Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputInfoMessageN,
        &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputWarningMessageN,
        &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputErrorMessageN,
        &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputDebugMessageN}) {
    std::string text = "x";
    for (bool failGet : {false, true}) {  // failGet: the JVM could not give the characters
      fake = FakeCalls();
      fake.failGet = failGet;
      EXPECT_NO_THROW(native(&fakeEnv, nullptr, reinterpret_cast<jstring>(&text)));
      EXPECT_EQ(failGet ? 0 : 1, fake.released);
    }
    fake = FakeCalls();
    native(&fakeEnv, nullptr, nullptr);
    EXPECT_EQ(0, fake.got) << "characters asked for a null String";
  }
  Port_MsgDispatcher::removeMsgMan(&manager);
  EXPECT_EQ(4, manager.heldWhenIssued);
}

}  // namespace
