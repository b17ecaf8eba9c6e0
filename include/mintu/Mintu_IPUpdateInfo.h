#ifndef MINTU_IPUPDATEINFO_H
#define MINTU_IPUPDATEINFO_H
// IPUpdateInfo: the installed update level of the IP cores, read from the
// "cores_level=" line of the update log "IPupdate.log" in an install root.

#include "mintu/Mintu_Types.h"

namespace Mintu {

class MINTU_API IPUpdateInfo {
 public:
  /// Status codes of the operations, on one scale.
  static constexpr unsigned int LOG_FOUND = 0;      ///< a readable update log was found
  static constexpr unsigned int LOG_MISSING = 1;    ///< no install root holds a readable log
  static constexpr unsigned int LOG_UNOPENED = 2;   ///< the log was found but would not open
  static constexpr unsigned int LEVEL_READ = 3;     ///< the level was read (success)
  static constexpr unsigned int LEVEL_MISSING = 4;  ///< no line carries the tag

  /// LEVEL_READ with `level` set to "Cores Update # " and the level text;
  /// otherwise the failure code and `level` untouched. LOG_UNOPENED issues
  /// "Couldn't open %s for reading.\n".
  static unsigned int GetCoresLevel(StringBase& level);

 private:
  /// LOG_FOUND and the path of the first readable "IPupdate.log", or LOG_MISSING.
  static unsigned int GetIPUpdateLogLocation(StringBase& location);
  /// LEVEL_READ and `level` set to the text after the tag, or LEVEL_MISSING.
  static unsigned int ReadCoreLevelFromLine(StringBase& line, StringBase& level);
};

}  // namespace Mintu

#endif  // MINTU_IPUPDATEINFO_H
