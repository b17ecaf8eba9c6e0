#ifndef MINTU_MINTARO2MESSAGECATCHER_H
#define MINTU_MINTARO2MESSAGECATCHER_H
// The native side of the Java class
// com.orvane.mintutil.mintaro2.Mintaro2MessageCatcher. Its four native
// methods, each taking one String, are exported with C linkage under the
// names the JVM looks up:
//
//   Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputInfoMessageN
//       issues the text as a status message
//   Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputWarningMessageN
//       issues the text as a warning
//   Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputErrorMessageN
//       issues the text as an error
//   Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputDebugMessageN
//       hands the text to Normal() of the debug logger "javavm"
//
// The text travels as the JVM's modified UTF-8 bytes, unchanged. A null
// string issues nothing. No exception, C++ or Java, comes back to the caller.
//
// The declarations need <jni.h>; they are visible only when it was included
// before this header, so including it alone never drags JNI into a consumer.

#ifdef JNI_VERSION_1_1

#ifdef __cplusplus
extern "C" {
#endif

JNIEXPORT void JNICALL Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputInfoMessageN(
    JNIEnv* env, jobject caller, jstring message);
JNIEXPORT void JNICALL
Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputWarningMessageN(JNIEnv* env,
                                                                               jobject caller,
                                                                               jstring message);
JNIEXPORT void JNICALL Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputErrorMessageN(
    JNIEnv* env, jobject caller, jstring message);
JNIEXPORT void JNICALL Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_outputDebugMessageN(
    JNIEnv* env, jobject caller, jstring message);

#ifdef __cplusplus
}
#endif

#endif  // JNI_VERSION_1_1

#endif  // MINTU_MINTARO2MESSAGECATCHER_H
