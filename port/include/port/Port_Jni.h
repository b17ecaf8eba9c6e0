#ifndef PORT_JNI_H
#define PORT_JNI_H
// The Java Native Interface declarations, from the JDK's own jni.h.

#include <jni.h>

#endif  // PORT_JNI_H
