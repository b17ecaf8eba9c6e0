#include "port/Port_Init.h"

#include "port/Port_Jni.h"

#include "mintu/Mintu_DebugMessengerFactory.h"
#include "mintu/Mintu_Mintaro2MessageCatcher.h"

#include "Mintu_Issue.h"

namespace Mintu {
namespace {

const Detail::IssueSource kSource = {"Mintu_Mintaro2MessageCatcher", "$Revision: 1.10.368.2 $"};

const char* const JAVA_LOGGER = "javavm";

enum Route { ROUTE_INFO, ROUTE_WARNING, ROUTE_ERROR, ROUTE_DEBUG };

// The characters of one Java string for the time of one call. They are given
// back when this goes out of scope, whichever way the call ends.
class JavaChars {
 public:
  JavaChars(JNIEnv* env, jstring text)
      : env_(env), text_(text), chars_(env->GetStringUTFChars(text, nullptr)) {}
  ~JavaChars() {
    if (chars_ != nullptr) env_->ReleaseStringUTFChars(text_, chars_);
  }
  JavaChars(const JavaChars&) = delete;
  JavaChars& operator=(const JavaChars&) = delete;

  const char* get() const { return chars_; }

 private:
  JNIEnv* env_;
  jstring text_;
  const char* chars_;
};

void Deliver(JNIEnv* env, jstring message, Route route) {
  // A null String has no characters to report; the JVM must not be asked for them.
  if (env == nullptr || message == nullptr) return;
  try {
    JavaChars chars(env, message);
    // Null only when the JVM could not provide them (it then has an
    // OutOfMemoryError pending for the caller): nothing to issue.
    if (chars.get() == nullptr) return;
    switch (route) {
      case ROUTE_INFO:
        MINTU_ISSUE(kSource).issueStatus("%s", chars.get());
        break;
      case ROUTE_WARNING:
        MINTU_ISSUE(kSource).issueWarning("%s", chars.get());
        break;
      case ROUTE_ERROR:
        MINTU_ISSUE(kSource).issueError("%s", chars.get());
        break;
      case ROUTE_DEBUG:
        DebugMessengerFactory::GetLogger(JAVA_LOGGER)->Normal(StringBase(chars.get()));
        break;
    }
  } catch (...) {
    // A C++ exception must not unwind into the JVM: a message a manager
    // failed to show is lost, the Java caller goes on.
  }
}

}  // namespace
}  // namespace Mintu

extern "C" {

JNIEXPORT void JNICALL Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputInfoMessageN(
    JNIEnv* env, jobject /*caller*/, jstring message) {
  Mintu::Deliver(env, message, Mintu::ROUTE_INFO);
}

JNIEXPORT void JNICALL
Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputWarningMessageN(JNIEnv* env,
                                                                               jobject /*caller*/,
                                                                               jstring message) {
  Mintu::Deliver(env, message, Mintu::ROUTE_WARNING);
}

JNIEXPORT void JNICALL Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputErrorMessageN(
    JNIEnv* env, jobject /*caller*/, jstring message) {
  Mintu::Deliver(env, message, Mintu::ROUTE_ERROR);
}

JNIEXPORT void JNICALL Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputDebugMessageN(
    JNIEnv* env, jobject /*caller*/, jstring message) {
  Mintu::Deliver(env, message, Mintu::ROUTE_DEBUG);
}

}  // extern "C"
