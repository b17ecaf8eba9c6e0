#ifndef PORT_ENV_H
#define PORT_ENV_H
// Port_Env: the process environment and the platform's identity.

#include "port/Port_Export.h"

class PORT_API Port_Env {
 public:
  /// The value of `name`, or null when it is unset (a StringBase made from
  /// null is empty). The pointer stays valid until the variable changes.
  static const char* GetEnv(const char* name);
  /// Sets (or, with a null value, removes) a variable; true when done. On
  /// Windows the C runtime keeps no empty variables: the empty text removes
  /// the variable there (true, and GetEnv then gives null), as "set NAME="
  /// does in a Windows shell; elsewhere the variable is kept, empty.
  static bool SetEnv(const char* name, const char* value);
  static bool UnsetEnv(const char* name);
  /// True only on the Windows NT family.
  static bool IsNt();
  /// The platform's directory name inside the install tree: "nt64" on 64-bit
  /// Windows, "lin64" on 64-bit Linux, "mac64" on macOS, "lin"/"nt" on 32 bits.
  static const char* GetPlatformPath();
  /// The separator of path lists such as ORVANE: ';' on Windows, ':' elsewhere.
  static char GetPathListSeparator();
};

#endif  // PORT_ENV_H
