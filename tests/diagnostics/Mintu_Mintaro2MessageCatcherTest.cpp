// The message bridge in a real JVM, and through a stand-in JNIEnv for what a JVM cannot do.
#include "port/Port_Jni.h"

#include "mintu/Mintu_Mintaro2MessageCatcher.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/IssuedMessages.h"
#include "support/LoggerLevel.h"

#ifndef MINTU_TEST_NO_JVM
// For LeakSanitizer: the JVM is never destroyed (a process can make only one).
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libjvm.so\nleak:libjava.so\nleak:libz.so\n";  // libz: reading the jar
}
#endif

namespace {

using namespace std::string_literals;
enum Route { kInfo, kWarning, kError, kDebug };
JNIEnv* env = nullptr;
jclass catcher = nullptr;

// Calls the native of `route` with `text` (null: a null String); true if a Java exception came.
[[maybe_unused]] bool Call(Route route, const std::u16string* text) {
  const char* const names[] = {"outputInfoMessageN", "outputWarningMessageN", "outputErrorMessageN",
                               "outputDebugMessageN"};
  jstring string = text == nullptr ? nullptr
                                   : env->NewString(reinterpret_cast<const jchar*>(text->data()),
                                                    static_cast<jsize>(text->size()));
  env->CallStaticVoidMethod(
      catcher, env->GetStaticMethodID(catcher, names[route], "(Ljava/lang/String;)V"), string);
  const bool thrown = env->ExceptionCheck();
  env->ExceptionClear();
  return thrown;
}

TEST(JvmBridgeTest, KindsAndTextsByteForByte) {
#ifdef MINTU_TEST_NO_JVM
  GTEST_SKIP() << "no JVM for this platform in the build; the stand-in JNIEnv covers the bridge";
#else
  std::string classPath = "-Djava.class.path="s + MINTU_TEST_JAVA_CLASSES;
  JavaVMOption options[3] = {{const_cast<char*>(classPath.c_str()), nullptr},
                             {const_cast<char*>("-Xcheck:jni"), nullptr},
                             {const_cast<char*>("-Xss1m"), nullptr}};
  JavaVMInitArgs args{JNI_VERSION_1_8, 3, options, JNI_FALSE};
  JavaVM* vm = nullptr;  // never destroyed: a process can make only one
  ASSERT_EQ(JNI_OK, JNI_CreateJavaVM(&vm, reinterpret_cast<void**>(&env), &args));
  ASSERT_NE(nullptr,
            catcher = env->FindClass("com/orvane/mintutil/mintaro2/Mintaro2MessageCatcher"));
  // The library's code is in this process already, yet nothing is linked before it is loaded.
  const std::u16string x = u"x";
  EXPECT_TRUE(Call(kInfo, &x));
  env->CallStaticVoidMethod(catcher,
                            env->GetStaticMethodID(catcher, "load", "(Ljava/lang/String;)V"),
                            env->NewStringUTF(MINTU_TEST_LIBRARY));
  ASSERT_FALSE(env->ExceptionCheck());
  MintuTest::MessageCapture issued;
  const int kinds[] = {PORT_MSG_STATUS, PORT_MSG_WARNING, PORT_MSG_ERROR};
  // Modified UTF-8: a surrogate pair is two 3-byte sequences, U+0000 two bytes.
  const std::u16string java[] = {u"", u"100%d %s caf\u00e9 \u4e2d \U0001F600 a\0z\n"s};
  const std::string bytes[] = {
      "", "100%d %s caf\xc3\xa9 \xe4\xb8\xad \xed\xa0\xbd\xed\xb8\x80 a\xc0\x80z\n"};
  for (Route route : {kInfo, kWarning, kError}) {
    for (int t = 0; t < 2; ++t) {
      SCOPED_TRACE(testing::Message() << route << " " << bytes[t]);
      issued.Clear();
      ASSERT_FALSE(Call(route, &java[t]));
      EXPECT_EQ(std::vector<std::string>{bytes[t]}, issued.Texts(kinds[route]));
      EXPECT_EQ(1u, issued.messages().size());
    }
  }
  const Port_Message& message = issued.messages().at(0);
  EXPECT_EQ("mintutil Mintu_Mintaro2MessageCatcher $Revision: 1.10.368.2 $",
            message.module + " " + message.file + " " + message.revision);
  // Debug lines go to the logger "javavm"; a null String issues nothing.
  MintuTest::LoggerLevel javavm("javavm", Mintu::DebugMessenger::DEBUG_NORMAL);
  issued.Clear();
  ASSERT_FALSE(Call(kDebug, &java[1]));
  for (Route route : {kInfo, kWarning, kError, kDebug}) EXPECT_FALSE(Call(route, nullptr));
  EXPECT_EQ(std::vector<std::string>{"DEBUG[javavm] - " + bytes[1]}, issued.Texts(PORT_MSG_STATUS));
  EXPECT_EQ(1u, issued.messages().size());
#endif
}

// The stand-in's calls, and a manager that throws, counting messages while characters are held.
int got = 0, released = 0, heldWhenIssued = 0;
bool failGet = false;
struct ThrowingManager : Port_MsgMan {
  void handleMessage(const Port_Message&) override {
    heldWhenIssued += got > released;
    throw std::runtime_error("manager failed");
  }
};

TEST(FakeJniTest, CharactersAreGivenBackAfterIssuingWhateverHappens) {
  JNINativeInterface_ table{};
  table.GetStringUTFChars = [](JNIEnv*, jstring text, jboolean*) -> const char* {
    ++got;
    return failGet ? nullptr : reinterpret_cast<const std::string*>(text)->c_str();
  };
  table.ReleaseStringUTFChars = [](JNIEnv*, jstring text, const char* chars) {
    released += chars == reinterpret_cast<const std::string*>(text)->c_str();  // as given
  };
  JNIEnv fakeEnv{&table};
  MintuTest::LoggerLevel java("javavm", Mintu::DebugMessenger::DEBUG_NORMAL);
  ThrowingManager manager;
  Port_MsgDispatcher::addMsgMan(&manager);
  std::string text = "x";
  for (auto* native :
       {&Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputInfoMessageN,
        &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputWarningMessageN,
        &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputErrorMessageN,
        &Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputDebugMessageN}) {
    for (bool fail : {false, true}) {  // fail: the JVM could not give the characters
      failGet = fail;
      EXPECT_NO_THROW(native(&fakeEnv, nullptr, reinterpret_cast<jstring>(&text)));
    }
    native(&fakeEnv, nullptr, nullptr);  // a null String: no characters asked for
  }
  Port_MsgDispatcher::removeMsgMan(&manager);
  EXPECT_EQ(8, got);
  EXPECT_EQ(4, released);
  EXPECT_EQ(4, heldWhenIssued);
}

}  // namespace
