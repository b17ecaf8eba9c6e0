#ifndef PORT_VERSION_H
#define PORT_VERSION_H
// Installation values ("version", "build", "product") and the splitting of
// release numbers. The values start from the release built into this layer
// (DEFAULT_RELEASE); a host or a test may replace any of them with setValue.

#include "port/Port_Export.h"
#include "port/Port_StringBase.h"

namespace Port {

class PORT_API Version {
 public:
  /// The installed release this layer reports until a host says otherwise.
  static const char* const DEFAULT_RELEASE;

  /// The value of `key`; the empty text for an unknown key.
  static StringBase<char> getValue(const StringBase<char>& key);
  /// Replaces (or adds) the value of `key`.
  static void setValue(const StringBase<char>& key, const StringBase<char>& value);
  /// Puts every value back to its built-in default.
  static void resetValues();
  /// Splits a release such as "14.2" or "14.2.1_p3" at its first two dots:
  /// major (the text before the first dot, possibly empty or not a number),
  /// minor (between the first and second dot) and rest (after the second
  /// dot). False, and the outputs untouched, when the text holds no dot.
  static bool splitVersion(const StringBase<char>& version, StringBase<char>& major,
                           StringBase<char>& minor, StringBase<char>& rest);
};

}  // namespace Port

#endif  // PORT_VERSION_H
