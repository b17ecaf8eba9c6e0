#ifndef MINTU_SETWORKINGDIRECTORY_H
#define MINTU_SETWORKINGDIRECTORY_H
// SetWorkingDirectory: a scope guard that moves the process into a directory
// and back again when it ends. Failures to change directory are issued as
// errors; only a current directory that cannot be read at all is thrown.

#include "mintu/Mintu_Types.h"

namespace Mintu {

class MINTU_API SetWorkingDirectory {
 public:
  /// Changes to `directory` (the current directory for the empty text);
  /// issues "Unable to set working directory to %s\n" when it cannot. Throws
  /// std::filesystem::filesystem_error when the current directory cannot be
  /// read (it was removed, say), as there would be nowhere to return to.
  explicit SetWorkingDirectory(const StringBase& directory);
  /// Changes back to the directory of construction; issues "Unable to revert
  /// working directory to %s\n" when it cannot. Never throws.
  ~SetWorkingDirectory();
  SetWorkingDirectory(const SetWorkingDirectory&) = delete;
  SetWorkingDirectory& operator=(const SetWorkingDirectory&) = delete;

  /// Changes to the guarded directory again if the process has left it;
  /// issues "Unable to reset working directory to %s\n" when it cannot.
  void Reconfirm() const;

  /// The absolute directory the guard returns to.
  const StringBase& GetPreviousDirectory() const { return previousDirectory; }
  /// The absolute directory the guard keeps the process in.
  const StringBase& GetTargetDirectory() const { return targetDirectory; }

 private:
  StringBase previousDirectory;
  StringBase targetDirectory;
};

}  // namespace Mintu

#endif  // MINTU_SETWORKINGDIRECTORY_H
