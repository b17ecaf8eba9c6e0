#ifndef PORT_SAFEFILE_H
#define PORT_SAFEFILE_H
// Port_SafeFile: reading a file only when it is a regular one, and replacing
// its content so that a crash, a full disk or an interruption leaves the old
// content or the new, with its owner, mode, ACL and extended attributes; and
// the process's standard streams.

#include <cstddef>
#include <string>

#include "port/Port_Export.h"

namespace Port {

class PORT_API SafeFile {
 public:
  /// Refusals of this layer's own, beside the system's (positive) error
  /// numbers; errorText gives their wording.
  enum Refusal {
    CHANGED = -1,      // the file changed while its replacement was written
    HARD_LINKED = -2,  // replacing it would split its hard links
    FIFO = -3,         // kinds of file that are never read as files nor replaced
    DEVICE = -4,
    NOT_REGULAR = -5
  };

  /// What is known of a file before it is read or rewritten.
  struct Target {
    std::string path;         // the file itself, symbolic links followed
    bool exists = false;      // false: a new file would be made at `path`
    bool regular = false;     // a regular file (not a directory, device, ...)
    bool writable = false;    // write permission in its mode bits, even for the superuser
    unsigned long links = 0;  // number of hard links
    int kind = 0;             // 0 for a regular or missing file, else EISDIR or a Refusal
    // The file as examined (or opened by Reader): checked again before it is replaced.
    unsigned long long device = 0, inode = 0, size = 0;
    long long modified = 0;  // nanoseconds
  };

  /// A regular file opened for reading in blocks.
  class PORT_API Reader {
   public:
    Reader() = default;
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    /// Opens `target.path` without waiting (a FIFO without a writer) and,
    /// before any byte is read, refuses what is not a regular file (its
    /// `kind`); notes in `target` the file as opened. 0 or the error.
    int open(Target& target);
    /// Reads up to `size` bytes, fewer only at the end; `error` is set on failure.
    std::size_t read(char* data, std::size_t size, int& error);

   private:
    int fd_ = -1;
  };

  /// A new content for a target, written as it comes to a temporary file in
  /// the target's folder, which is removed on failure, when the object is
  /// destroyed uncommitted, and on SIGINT, SIGTERM and SIGHUP (Windows: a
  /// console interrupt or close).
  class PORT_API Replacement {
   public:
    explicit Replacement(const Target& target);
    ~Replacement();
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;
    /// Creates the temporary file. Refuses (0 or the error) a target that is
    /// not a regular file, has several hard links, or lacks write permission
    /// in its mode bits (EACCES, also for the superuser).
    int open();
    /// Appends to the new content; 0 or the system's error number.
    int write(const char* data, std::size_t size);
    /// Overwrites bytes already written, `offset` bytes from the start.
    int rewrite(unsigned long long offset, const char* data, std::size_t size);
    /// Flushes the new content to the disk, gives it the owner, group, mode,
    /// ACL and extended attributes of the target (user.* and ACLs always,
    /// security.* and trusted.* where permitted; on Windows the target's own
    /// ACL stays, as it is replaced in place), checks that the target is
    /// still the file examined (CHANGED otherwise) and renames it over the
    /// target. 0 or the error; on failure the target is untouched.
    int commit();
    /// For tests: called with the target's path after the new content is
    /// complete, just before the target is checked and replaced.
    static void setBeforeReplaceHook(void (*hook)(const std::string& path));

   private:
    Target target_;
    std::string temporary_;
    int fd_ = -1;
    int slot_ = -1;  // in the registry of files removed on interruption
  };

  /// Fills `target` for `name`; 0, or the system's error number when `name`
  /// or its link target cannot be examined (a missing file is no error).
  static int inspect(const std::string& name, Target& target);
  /// Replaces the target's content with `size` bytes through a Replacement.
  static int replace(const Target& target, const char* data, std::size_t size);
  /// Writes `size` bytes as the whole content of the file `name`: a regular
  /// or new file through a Replacement (refused as Replacement::open says),
  /// a device or FIFO that exists as it is (it cannot be replaced), a
  /// directory never (EISDIR). 0 or the error.
  static int write(const std::string& name, const char* data, std::size_t size);
  /// Standard streams that are closed when the process starts are opened on
  /// the null device the wrong way round, so a file opened later cannot take
  /// their place and every use of them fails as it would have.
  static void guardStandardStreams();
  /// The path of the running program, or empty when the system cannot tell.
  static std::string executablePath();
  /// The text for an error number ("No such file or directory") or a Refusal.
  static std::string errorText(int error);
};

}  // namespace Port

#endif  // PORT_SAFEFILE_H
