package com.orvane.mintutil.mintaro2;

/** The Java side of the message bridge: natives the JVM links by name once {@link #load} ran. */
public final class Mintaro2MessageCatcher {
  public static native void outputInfoMessageN(String message);

  public static native void outputWarningMessageN(String message);

  public static native void outputErrorMessageN(String message);

  public static native void outputDebugMessageN(String message);

  /** Loads the library from this class, so that its natives are linked for it. */
  public static void load(String path) {
    System.load(path);
  }
}
