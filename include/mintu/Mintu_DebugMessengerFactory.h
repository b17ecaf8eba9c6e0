#ifndef MINTU_DEBUGMESSENGERFACTORY_H
#define MINTU_DEBUGMESSENGERFACTORY_H
// DebugMessengerFactory: the root logger and the registry of named loggers.
// Both are made when the library loads and never destroyed, so a pointer
// from GetLogger stays valid for the life of the process.

#include <vector>

#include "mintu/Mintu_DebugMessenger.h"
#include "mintu/Mintu_Types.h"

namespace Mintu {

class MINTU_API DebugMessengerFactory {
 public:
  /// The root logger.
  static DebugMessenger* GetLogger();
  /// The logger called `name` (names compared byte for byte), made under the
  /// root on first request; the root itself for "root" in any case ("ROOT").
  static DebugMessenger* GetLogger(const StringBase& name);
  /// Makes the root verbose when ORV_MN_API_DEBUG is set (to anything, even
  /// the empty text), and says so once with a status line.
  static void SetLevelFromEnv();
  /// A new vector (the caller deletes it) with the names of the registry's
  /// loggers, in no particular order; the root is not listed.
  static std::vector<StringBase>* GetActiveLoggers();
};

}  // namespace Mintu

#endif  // MINTU_DEBUGMESSENGERFACTORY_H
