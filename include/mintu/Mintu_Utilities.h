#ifndef MINTU_UTILITIES_H
#define MINTU_UTILITIES_H
// Utilities: static helpers for the installation and for files: path
// normalisation, lookups under the install roots, environment expansion,
// checksum stamps in text files and file-list files.

#include <cstdio>
#include <list>
#include <vector>

#include "mintu/Mintu_IStringContainer.h"
#include "mintu/Mintu_RefCountPtr.h"
#include "mintu/Mintu_Types.h"
#include "port/Port_FileName.h"

namespace Mintu {

class MINTU_API Utilities {
 public:
  /// What FileChecksum and StreamChecksum found.
  struct FileStamp {
    bool read = false;     // false: refused or unreadable, `reason` says why
    StringBase checksum;   // the "%8x" checksum text of the data lines
    bool stamped = false;  // holds a "# CRC:" stamp
    bool valid = false;    // no stamp, or the stamp holds `checksum` in either case
    StringBase reason;
  };
  /// What StampFile did.
  enum StampOutcome { STAMP_WRITTEN, STAMP_UNCHANGED, STAMP_REFUSED };
  struct StampResult {
    StampOutcome outcome = STAMP_REFUSED;
    StringBase checksum;  // the checksum text the file's stamp holds now
    StringBase reason;    // why it was refused ("a FIFO (named pipe), not a regular file")
  };

  // ---------------------------------------------------------------- Paths
  // None of these issues a message, traces or throws.

  /// Rewrites `path` in place: backslashes become slashes, runs of slashes one slash.
  static void GetPlatformIndependentPath(StringBase& path);
  /// Whether `path` ends with "/" or "\"; false for the empty text.
  static bool IsTerminatedWithPathSeparator(const StringBase& path);
  /// `path` with one platform separator added unless it is empty, already ends
  /// with a separator, or names an existing regular file.
  static StringBase TerminateWithPathSeparator(const StringBase& path);
  /// The absolute form of `path`, with a trailing separator when it names a
  /// directory; the empty text for the empty text.
  static StringBase GetAbsolutePath(const StringBase& path);
  /// The absolute directory of `path`: the directory itself (with a trailing
  /// separator) or the directory that holds (or would hold) the file.
  static StringBase GetAbsoluteDirectory(const StringBase& path);
  /// `path` as "." plus separator plus the rest when it lies inside
  /// `directory`, else its absolute form; the empty text for an empty `path`.
  static StringBase MakeRelativePath(const StringBase& directory, const StringBase& path);

  // ----------------------------------------------------- Install tree lookup
  // Lookups trace at verbose level on the logger "utilities"; a name that is
  // not found is not an error: they return false and leave `found` untouched.

  /// "Orvane Mintaro".
  static StringBase ApplicationName();
  /// The installed release (the installation value "version").
  static StringBase RevisionVersion();
  /// The library's build date, such as "Nov 18 2010".
  static const char* GetBuildDate();
  /// The library's build time, such as "20:55:52".
  static const char* GetBuildTime();
  /// The absolute path of `name` (file or directory) under the first install
  /// root that holds it.
  static bool GetFullOrvanePathOf(const StringBase& name, StringBase& found);
  /// The absolute path of `name` inside the first core library directory
  /// (under "mintaro/ip/orvane" of each root, in listing order) that holds it.
  static bool GetFullOrvanePathWithContainer(const StringBase& name, StringBase& found);
  /// The Java program of the running platform under the first root that has one.
  static bool GetJavaExecutablePath(StringBase& found);
  /// The installed major release plus one, followed by ".1" ("14.2" gives
  /// "15.1"); a major that is not a 32-bit number is kept ("beta.2" gives
  /// "beta.1"), an empty one counts as 0 (".5" gives "1.1"); the empty text when the release cannot
  /// be split. Never throws.
  static StringBase NextMajorRelease();

  // ---------------------------------------------------- Environment expansion

  /// Replaces every ${NAME} by the variable's value (unset gives nothing), in
  /// one pass. A text starting with "${ORVANE}" is instead the install-root
  /// path of the expanded rest, or the empty text when no root holds it.
  static const StringBase ExpandEnvironment(const StringBase& text);

  // -------------------------------------------------------- Checksum stamps

  /// Sets `checksum` to the "%8x" text of the CRC-32 of the lines of `text`
  /// that hold no "#", joined without their line ends. Returns 0.
  static unsigned int CalculateChecksum(const StringBase& text, StringBase& checksum);
  /// Checks the first "# CRC:" stamp of a text file against its data lines.
  /// 0 when the file was read (`valid` tells the outcome; a file without a
  /// stamp is valid); 1 and `valid` false when it could not be opened or
  /// closed (issues "Could not open %s\n" or "Could not close %s\n").
  static unsigned int ValidateFileChecksum(const StringBase& fileName, bool& valid);
  /// The checksum and stamp of a regular file (anything else refused before
  /// it is read), read in blocks; issues nothing.
  static FileStamp FileChecksum(const StringBase& fileName);
  /// The same for what remains to be read from `stream` (the standard input).
  static FileStamp StreamChecksum(std::FILE* stream);
  /// Writes or renews the stamp of a regular text file (symbolic links
  /// followed) through a temporary file, in blocks; issues nothing. A stamp
  /// that validates is left alone; a file without one gets a stamp line at
  /// its end, in the file's line ends, inside a comment when the content is
  /// XML. Refused, the file untouched: other kinds of file, NUL bytes, a
  /// first "# CRC:" that is not a stamp, several hard links, no write
  /// permission in the mode, a change by another process meanwhile.
  static StampResult StampFile(const StringBase& fileName);

  // ------------------------------------------------------------- File lists
  // Issue "Cannot read %s\n", "Cannot open %s\n" or "Cannot close %s\n"
  // (errors) and one "Missing file list member %s\n" warning per absent member.

  /// The cleaned member names, as written, of the members that exist.
  static std::vector<StringBase> GetFileListFileStrings(const Port::FileName& listFile);
  /// The same members with the list's directory in front.
  static std::vector<Port::FileName> GetFileListFileNames(const Port::FileName& listFile);

  // ---------------------------------------------------- Container conversions
  /// A new container with the strings of `list` in order (never null).
  static CommonI::RefCountPtr<UtilI::IStringContainer> ConvertStringListToStringContainer(
      const std::list<StringBase>& list);
  /// A new container with the strings of `vector` in order (never null).
  static CommonI::RefCountPtr<UtilI::IStringContainer> ConvertStringVectorToStringContainer(
      const std::vector<StringBase>& vector);
  /// The strings of `container` in iteration order; empty when it is null or gives no iterator.
  static const std::list<StringBase> ConvertStringContainerToStringList(
      const CommonI::RefCountPtr<const UtilI::IStringContainer>& container);
  /// The strings of `container` in iteration order; empty when it is null or gives no iterator.
  static const std::vector<StringBase> ConvertStringContainerToStringVector(
      const CommonI::RefCountPtr<const UtilI::IStringContainer>& container);
};

}  // namespace Mintu

#endif  // MINTU_UTILITIES_H
