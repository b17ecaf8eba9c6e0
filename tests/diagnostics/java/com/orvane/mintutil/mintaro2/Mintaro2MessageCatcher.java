package com.orvane.mintutil.mintaro2;

/**
 * The Java side of the message bridge, as the tests use it: four native
 * methods that the JVM links by name to the library's exported functions,
 * and a dispatcher the native test host calls.
 */
public final class Mintaro2MessageCatcher {
  private Mintaro2MessageCatcher() {}

  public static native void outputInfoMessageN(String message);

  public static native void outputWarningMessageN(String message);

  public static native void outputErrorMessageN(String message);

  public static native void outputDebugMessageN(String message);

  /** Loads the native library from its absolute path. */
  public static void load(String path) {
    System.load(path);
  }

  /** Hands {@code message} to the native method named by {@code kind}. */
  public static void deliver(String kind, String message) {
    switch (kind) {
      case "info":
        outputInfoMessageN(message);
        break;
      case "warning":
        outputWarningMessageN(message);
        break;
      case "error":
        outputErrorMessageN(message);
        break;
      case "debug":
        outputDebugMessageN(message);
        break;
      default:
        throw new IllegalArgumentException("unknown kind " + kind);
    }
  }
}
