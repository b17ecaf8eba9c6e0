#ifndef PORT_SAFEFILE_H
#define PORT_SAFEFILE_H
// Port_SafeFile: replacing a file's content so that a crash or a full disk
// leaves the old content or the new, and the process's standard streams.

#include <cstddef>
#include <string>

#include "port/Port_Export.h"

namespace Port {

class PORT_API SafeFile {
 public:
  /// What is known of a file before it is rewritten.
  struct Target {
    std::string path;         // the file itself, symbolic links followed
    bool exists = false;      // false: a new file would be made at `path`
    bool regular = false;     // a regular file (not a directory, device, ...)
    bool writable = false;    // write permission in its mode bits, even for the superuser
    unsigned long links = 0;  // number of hard links
  };

  /// Fills `target` for `name`; 0, or the system's error number when `name`
  /// or its link target cannot be examined (a missing file is no error).
  static int inspect(const std::string& name, Target& target);
  /// Writes `size` bytes to a new file in the target's folder, flushes it to
  /// the disk, gives it the mode, owner and group of the existing target (or
  /// the usual mode of a new file) and renames it over `target.path`. Returns
  /// 0, or the system's error number; on failure the target is untouched and
  /// the temporary file is gone.
  static int replace(const Target& target, const char* data, std::size_t size);
  /// Standard streams that are closed when the process starts are opened on
  /// the null device the wrong way round, so a file opened later cannot take
  /// their place and every use of them fails as it would have.
  static void guardStandardStreams();
  /// The path of the running program, or empty when the system cannot tell.
  static std::string executablePath();
  /// The system's text for an error number ("No such file or directory").
  static std::string errorText(int error);
};

}  // namespace Port

#endif  // PORT_SAFEFILE_H
