// The bridge inside a real JVM: the test host starts the JDK's JVM through
// the invocation API, the Java class Mintaro2MessageCatcher loads the library
// with System.load, and the JVM links the four native methods by their
// exported names (nothing is registered by hand).
#include "port/Port_Jni.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "mintu/Mintu_DebugMessengerFactory.h"
#include "support/IssuedMessages.h"

#ifndef MINTU_TEST_JAVA_CLASSES
#error "MINTU_TEST_JAVA_CLASSES must name the directory of the compiled test classes"
#endif
#ifndef MINTU_TEST_LIBRARY
#error "MINTU_TEST_LIBRARY must name the built library"
#endif

// Under LeakSanitizer: the JVM is never destroyed (a process can make only
// one), so what it allocated for itself is still held at exit. Leaks whose
// allocation passed through our own code are still reported.
#ifndef MINTU_TEST_NO_JVM
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libjvm.so\nleak:libjava.so\n";
}
#endif

namespace {

using Mintu::DebugMessenger;
using Mintu::DebugMessengerFactory;
using namespace std::string_literals;

const char* const CATCHER_CLASS = "com/orvane/mintutil/mintaro2/Mintaro2MessageCatcher";

// One JVM for the whole process (a process can create only one), never
// destroyed: the JVM's own threads may still run at exit.
struct Jvm {
  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
  jclass catcher = nullptr;
  jmethodID deliver = nullptr;
  std::string failure;              // why the JVM could not be used, if so
  bool unlinkedBeforeLoad = false;  // natives failed before System.load
};

// Clears a pending Java exception; returns its class name, or empty.
std::string TakeException(JNIEnv* env) {
  jthrowable thrown = env->ExceptionOccurred();
  if (thrown == nullptr) return std::string();
  env->ExceptionClear();
  jclass linkError = env->FindClass("java/lang/UnsatisfiedLinkError");
  return env->IsInstanceOf(thrown, linkError) ? "java.lang.UnsatisfiedLinkError" : "exception";
}

jstring NewJavaString(JNIEnv* env, const std::u16string& text) {
  return env->NewString(reinterpret_cast<const jchar*>(text.data()),
                        static_cast<jsize>(text.size()));
}

// Calls Mintaro2MessageCatcher.deliver(kind, text); returns the name of a
// Java exception it raised, or empty.
std::string Deliver(Jvm& jvm, const char* kind, const std::u16string& text) {
  JNIEnv* env = jvm.env;
  jstring javaKind = env->NewStringUTF(kind);
  jstring javaText = NewJavaString(env, text);
  env->CallStaticVoidMethod(jvm.catcher, jvm.deliver, javaKind, javaText);
  const std::string thrown = TakeException(env);
  env->DeleteLocalRef(javaKind);
  env->DeleteLocalRef(javaText);
  return thrown;
}

Jvm& StartJvm() {
  static Jvm* jvm = [] {
    Jvm* made = new Jvm;
#ifdef MINTU_TEST_NO_JVM
    made->failure = "no JVM";
    return made;
#else
    std::string classPath = std::string("-Djava.class.path=") + MINTU_TEST_JAVA_CLASSES;
    JavaVMOption options[3];
    options[0].optionString = const_cast<char*>(classPath.c_str());
    options[1].optionString = const_cast<char*>("-Xcheck:jni");
    options[2].optionString = const_cast<char*>("-Xss1m");
    JavaVMInitArgs args;
    args.version = JNI_VERSION_1_8;
    args.nOptions = 3;
    args.options = options;
    args.ignoreUnrecognized = JNI_FALSE;
    void* env = nullptr;
    if (JNI_CreateJavaVM(&made->vm, &env, &args) != JNI_OK) {
      made->failure = "JNI_CreateJavaVM failed";
      return made;
    }
    made->env = static_cast<JNIEnv*>(env);
    JNIEnv* e = made->env;
    jclass local = e->FindClass(CATCHER_CLASS);
    if (local == nullptr) {
      made->failure = "cannot find " + std::string(CATCHER_CLASS) + ": " + TakeException(e);
      return made;
    }
    made->catcher = static_cast<jclass>(e->NewGlobalRef(local));
    made->deliver =
        e->GetStaticMethodID(made->catcher, "deliver", "(Ljava/lang/String;Ljava/lang/String;)V");
    jmethodID load = e->GetStaticMethodID(made->catcher, "load", "(Ljava/lang/String;)V");
    if (made->deliver == nullptr || load == nullptr) {
      made->failure = "missing methods: " + TakeException(e);
      return made;
    }
    // Before the library is loaded the natives are not linked to anything,
    // though its code is already in this process.
    made->unlinkedBeforeLoad = Deliver(*made, "info", u"x") == "java.lang.UnsatisfiedLinkError";

    jstring path = e->NewStringUTF(MINTU_TEST_LIBRARY);
    e->CallStaticVoidMethod(made->catcher, load, path);
    const std::string thrown = TakeException(e);
    if (!thrown.empty()) made->failure = "System.load failed: " + thrown;
    e->DeleteLocalRef(path);
    return made;
#endif
  }();
  return *jvm;
}

class JvmBridgeTest : public MintuTest::IssuedMessages {
 protected:
  void SetUp() override {
#ifdef MINTU_TEST_NO_JVM
    GTEST_SKIP() << "no JVM for this platform in the build; the stand-in JNIEnv test covers the "
                    "bridge here";
#endif
    Jvm& jvm = StartJvm();
    ASSERT_EQ("", jvm.failure);
    savedRoot_ = DebugMessengerFactory::GetLogger()->GetLevel();
    savedJava_ = java()->GetLevel();
    issued.Clear();
  }
  void TearDown() override {
    DebugMessengerFactory::GetLogger()->SetLevel(savedRoot_);
    java()->SetLevel(savedJava_);
  }
  static DebugMessenger* java() { return DebugMessengerFactory::GetLogger("javavm"); }

  DebugMessenger::DebugLevel savedRoot_ = DebugMessenger::DEBUG_OFF;
  DebugMessenger::DebugLevel savedJava_ = DebugMessenger::DEBUG_UNSET;
};

TEST_F(JvmBridgeTest, NativesAreLinkedByNameOnlyOnceTheLibraryIsLoaded) {
  EXPECT_TRUE(StartJvm().unlinkedBeforeLoad);
  EXPECT_EQ("", Deliver(StartJvm(), "info", u"linked"));
  EXPECT_EQ(std::vector<std::string>{"linked"}, issued.Texts(PORT_MSG_STATUS));
}

TEST_F(JvmBridgeTest, KindsAndTextsByteForByte) {
  struct Kind {
    const char* name;
    int kind;
  };
  const Kind kinds[] = {
      {"info", PORT_MSG_STATUS}, {"warning", PORT_MSG_WARNING}, {"error", PORT_MSG_ERROR}};
  struct Text {
    std::u16string java;
    std::string bytes;  // modified UTF-8
  };
  const Text texts[] = {
      {u"plain text", "plain text"},
      {u"progress 100%d %s", "progress 100%d %s"},
      {u"", ""},
      {u"line\n", "line\n"},
      // U+00E9, U+4E2D, U+1F600 (a surrogate pair: two 3-byte sequences) and
      // U+0000 (two bytes, never a terminating zero).
      {u"caf\u00e9 \u4e2d \U0001F600 a\0b"s,
       "caf\xc3\xa9 \xe4\xb8\xad \xed\xa0\xbd\xed\xb8\x80 a\xc0\x80"
       "b"},
  };
  for (const Kind& k : kinds) {
    for (const Text& t : texts) {
      SCOPED_TRACE(testing::Message() << k.name << " " << t.bytes);
      issued.Clear();
      ASSERT_EQ("", Deliver(StartJvm(), k.name, t.java));
      ASSERT_EQ(1u, issued.messages().size());
      const Port_Message& message = issued.messages().front();
      EXPECT_EQ(k.kind, message.type);
      EXPECT_EQ(t.bytes, message.text.str());
      EXPECT_EQ("mintutil", message.module);
      EXPECT_EQ("Mintu_Mintaro2MessageCatcher", message.file);
      EXPECT_EQ("$Revision: 1.10.368.2 $", message.revision);
    }
  }
}

TEST_F(JvmBridgeTest, DebugLineOnlyWhenTheJavaLoggerPassesNormalLines) {
  DebugMessenger* root = DebugMessengerFactory::GetLogger();
  struct Case {
    DebugMessenger::DebugLevel root, java;
    bool shown;
  };
  const Case cases[] = {
      {DebugMessenger::DEBUG_OFF, DebugMessenger::DEBUG_UNSET, false},
      {DebugMessenger::DEBUG_OFF, DebugMessenger::DEBUG_NORMAL, true},
      {DebugMessenger::DEBUG_OFF, DebugMessenger::DEBUG_DETAILED, true},
      {DebugMessenger::DEBUG_VERBOSE, DebugMessenger::DEBUG_UNSET, true},
      {DebugMessenger::DEBUG_VERBOSE, DebugMessenger::DEBUG_OFF, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "root " << c.root << " javavm " << c.java);
    root->SetLevel(c.root);
    java()->SetLevel(c.java);
    issued.Clear();
    ASSERT_EQ("", Deliver(StartJvm(), "debug", u"step %d of \u00e9"));
    ASSERT_EQ("", Deliver(StartJvm(), "debug", u""));
    ASSERT_EQ("", Deliver(StartJvm(), "debug", u"done\n"));
    std::vector<std::string> expected;
    if (c.shown) {
      expected = {"DEBUG[javavm] - step %d of \xc3\xa9\n", "DEBUG[javavm] - \n",
                  "DEBUG[javavm] - done\n"};
    }
    EXPECT_EQ(expected, issued.Texts(PORT_MSG_STATUS));
    EXPECT_EQ(expected.size(), issued.messages().size());
  }
}

TEST_F(JvmBridgeTest, NullStringIssuesNothingAndRaisesNothing) {
  JNIEnv* env = StartJvm().env;
  jmethodID info =
      env->GetStaticMethodID(StartJvm().catcher, "outputInfoMessageN", "(Ljava/lang/String;)V");
  ASSERT_NE(nullptr, info);
  env->CallStaticVoidMethod(StartJvm().catcher, info, static_cast<jstring>(nullptr));
  EXPECT_EQ("", TakeException(env));
  EXPECT_TRUE(issued.messages().empty());
}

}  // namespace
