#include "port/Port_Init.h"
// Utilities: paths, install-tree lookups, environment expansion, checksum
// stamps and file lists.

#include "mintu/Mintu_Utilities.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "diagnostics/Mintu_Issue.h"
#include "mintu/Mintu_DebugMessenger.h"
#include "mintu/Mintu_DebugMessengerFactory.h"
#include "mintu/Mintu_VectorHelper.h"
#include "port/Port_Dir.h"
#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_OrvanePath.h"
#include "port/Port_Regexp.h"
#include "port/Port_SafeFile.h"
#include "port/Port_Version.h"

namespace {

const Mintu::Detail::IssueSource kSource = {"Mintu_Utilities", "$Revision: 1.52.4.5 $"};

const char* const LOGGER_NAME = "utilities";
const char* const APPLICATION_NAME = "Orvane Mintaro";
const char* const VERSION_KEY = "version";
// Core library directories sit under this path in every install root.
const char* const CORE_CONTAINER = "mintaro/ip/orvane";
const char* const STAMP_TAG = "# CRC:";
// The checksum text starts this many bytes after the stamp tag's "#".
const std::size_t STAMP_CHECKSUM_OFFSET = 7;
const std::size_t STAMP_CHECKSUM_LENGTH = 8;
// Bytes read at a time when validating: small enough that the data stays in
// the cache between gathering the data lines and computing their CRC.
const std::size_t VALIDATE_BLOCK_SIZE = 128 * 1024;
const char COMMENT_CHAR = '#';
const char BACKSLASH = '\\';
const char SLASH = '/';
const unsigned int FILE_OK = 0;
const unsigned int FILE_FAILED = 1;
const int DIRECTORY_LISTING_FLAGS = UT_DIR::ALL_ENTRIES;

Mintu::DebugMessenger* Logger() { return Mintu::DebugMessengerFactory::GetLogger(LOGGER_NAME); }

void TraceFound(Mintu::DebugMessenger* logger, const Mintu::StringBase& name,
                const Mintu::StringBase& found) {
  if (logger->IsVerbose()) {
    logger->Verbose(
        Mintu::StringBase::doFormat("Looking for %s\nFound %s\n", name.c_str(), found.c_str()));
  }
}

void TraceNotFound(Mintu::DebugMessenger* logger, const Mintu::StringBase& name) {
  if (logger->IsVerbose()) {
    logger->Verbose(Mintu::StringBase::doFormat("Could not find %s\n", name.c_str()));
  }
}

bool IsDirOrFile(const Port::FileName& name) {
  return Port::File::isdir(name) || Port::File::isfile(name);
}

// Collapses every run of `separator` into one.
void CollapseRuns(Mintu::StringBase& path, char separator) {
  const char doubled[] = {separator, separator, '\0'};
  const char single[] = {separator, '\0'};
  while (path.GetIndexOfString(doubled, Port::COMPARE_EXACT) != Mintu::StringBase::NOT_FOUND) {
    path.Replace(doubled, single, Port::COMPARE_EXACT, true);
  }
}

// The data lines of a text and its first stamp, read in one pass over blocks
// of the text. The text reads as one whose every line (the last one
// included) ends with "\n". The data lines of a block are moved together at
// its front, without their line feeds, and go into the CRC in one call. The
// first stamp's checksum text is kept as it comes, also when it runs across
// line ends.
class StampScan {
 public:
  /// Takes the whole lines at the front of `block` (all of it when `last`,
  /// the end of the text) and returns how many bytes it took. The bytes
  /// taken are overwritten.
  std::size_t Consume(char* block, std::size_t size, bool last) {
    char* const end = block + size;
    char* out = block;
    char* line = block;
    // Lines with a "#" are few: one search finds the next, and every line
    // that ends before it is a data line.
    const char* hash = Find(line, end, COMMENT_CHAR);
    while (line < end) {
      // The common case: data lines up to the next "#". Not while the stored
      // text is being taken, which must be read before its line moves.
      if (!Capturing()) {
        while (char* const feed = static_cast<char*>(std::memchr(line, '\n', Span(line, hash)))) {
          const std::size_t length = Span(line, feed);
          std::memmove(out, line, length);
          out += length;
          line = feed + 1;
          ++lines_;
        }
      }
      char* const feed = static_cast<char*>(std::memchr(line, '\n', Span(line, end)));
      if (feed == nullptr && !last) break;  // read again with the next block
      char* const lineEnd = feed ? feed : end;
      const std::size_t length = Span(line, lineEnd);
      const bool data = hash >= lineEnd;
      if (!data && !stamped_) FindStamp(line, hash, lineEnd, offset_ + Span(block, line));
      if (Capturing()) KeepStored(line, length);
      if (data) {
        std::memmove(out, line, length);
        out += length;
      } else {
        hash = Find(lineEnd, end, COMMENT_CHAR);
      }
      line = feed ? feed + 1 : end;
      ++lines_;
    }
    crc_ = Mintu::StringBase::CRC32(crc_, block, Span(block, out));
    offset_ += Span(block, line);
    return Span(block, line);
  }

  /// Adds `size` bytes to the end of the last data line.
  void Extend(const char* data, std::size_t size) {
    crc_ = Mintu::StringBase::CRC32(crc_, data, size);
  }

  /// The checksum text of the data lines so far.
  Mintu::StringBase Checksum() const {
    Mintu::StringBase text;
    text.Format("%8x", static_cast<unsigned int>(crc_));
    return text;
  }

  bool Stamped() const { return stamped_; }
  /// Whether the first stamp is one that can be renewed in place: one
  /// separating character and eight checksum characters on its line, ending
  /// the line or followed by the end of a comment.
  bool Renewable() const { return renewable_; }
  /// Where the first stamp's checksum text starts in the text, and its line (from 1).
  unsigned long long StampOffset() const { return stampOffset_; }
  unsigned long long StampLine() const { return stampLine_; }

  /// False when a stamp was found and the data lines do not match it.
  bool Valid() const {
    if (!stamped_) return true;
    const Mintu::StringBase stored(stored_, storedLength_);
    return stored.Compare(Checksum(), Port::COMPARE_NOCASE) == 0;
  }

 private:
  static std::size_t Span(const char* from, const char* to) {
    return static_cast<std::size_t>(to - from);
  }

  // The first `c` in [from, to), or `to`.
  static const char* Find(const char* from, const char* to, char c) {
    const void* found = std::memchr(from, c, Span(from, to));
    return found ? static_cast<const char*>(found) : to;
  }

  // Looks for the tag in a comment line, from its first "#" on; the line
  // starts `offset` bytes into the text.
  void FindStamp(const char* line, const char* hash, const char* lineEnd,
                 unsigned long long offset) {
    const std::size_t tagLength = std::strlen(STAMP_TAG);
    for (const char* at = hash;
         at != nullptr && static_cast<std::size_t>(lineEnd - at) >= tagLength;
         at = static_cast<const char*>(
             std::memchr(at + 1, COMMENT_CHAR, static_cast<std::size_t>(lineEnd - at - 1)))) {
      if (std::memcmp(at, STAMP_TAG, tagLength) == 0) {
        stamped_ = true;
        storedFrom_ = static_cast<std::size_t>(at - line) + STAMP_CHECKSUM_OFFSET;
        stampOffset_ = offset + storedFrom_;
        stampLine_ = lines_ + 1;
        renewable_ = IsRenewable(at + STAMP_CHECKSUM_OFFSET, lineEnd);
        return;
      }
    }
  }

  static bool IsRenewable(const char* text, const char* lineEnd) {
    if (lineEnd - text < static_cast<std::ptrdiff_t>(STAMP_CHECKSUM_LENGTH)) return false;
    if (text[-1] == '\r') return false;  // the separator
    for (std::size_t i = 0; i < STAMP_CHECKSUM_LENGTH; ++i) {
      if (text[i] != ' ' && !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    const char* rest = text + STAMP_CHECKSUM_LENGTH;
    if (rest < lineEnd && lineEnd[-1] == '\r') --lineEnd;
    while (rest < lineEnd && (*rest == ' ' || *rest == '\t')) ++rest;
    return rest == lineEnd || (lineEnd - rest >= 3 && std::memcmp(rest, "-->", 3) == 0);
  }

  bool Capturing() const { return stamped_ && storedLength_ < STAMP_CHECKSUM_LENGTH; }

  // Takes bytes of the stored checksum text from a line; index `length`
  // stands for the line's "\n".
  void KeepStored(const char* line, std::size_t length) {
    for (std::size_t i = storedFrom_; i <= length && storedLength_ < STAMP_CHECKSUM_LENGTH; ++i) {
      stored_[storedLength_++] = i < length ? line[i] : '\n';
    }
    storedFrom_ = 0;
  }

  std::uint32_t crc_ = 0;
  bool stamped_ = false;
  char stored_[STAMP_CHECKSUM_LENGTH] = {};
  std::size_t storedLength_ = 0;
  std::size_t storedFrom_ = 0;  // where, in the current line, the stored text goes on
  bool renewable_ = false;
  unsigned long long offset_ = 0;  // of the next block in the text
  unsigned long long lines_ = 0;   // lines taken so far
  unsigned long long stampOffset_ = 0;
  unsigned long long stampLine_ = 0;
};

// Feeds `scan` with the bytes `read(to, size)` gives (fewer than asked only
// at the end), in blocks of whole lines; a line longer than the block makes
// the block grow, as a data line is only known to be one at its end. `look`
// sees each block before the scan overwrites it: the unfinished line left
// from before (`held` bytes, intact) and the new bytes after it, and whether
// the text ends there; when it returns false, reading stops.
template <class Read, class Look>
void ScanBlocks(StampScan& scan, Read read, Look look) {
  std::string block(VALIDATE_BLOCK_SIZE, '\0');
  std::size_t held = 0;
  for (bool last = false; !last;) {
    if (held == block.size()) block.resize(block.size() * 2);
    const std::size_t wanted = block.size() - held;
    const std::size_t got = read(&block[held], wanted);
    last = got < wanted;
    const std::size_t size = held + got;
    if (!look(static_cast<const char*>(block.data()), held, size, last)) return;
    const std::size_t taken = scan.Consume(&block[0], size, last);
    held = size - taken;
    if (held != 0 && taken != 0) std::memmove(&block[0], &block[taken], held);
  }
}

bool LookNoFurther(const char*, std::size_t, std::size_t, bool) { return true; }

// What a stamp line added to a text must look like, learnt from the blocks
// as they pass: the line end of the first line, whether the content is XML
// (after an optional UTF-8 byte-order mark, the first non-blank byte is
// "<"), and the last line when it has no line end.
struct TextLayout {
  bool started = false;
  bool eolKnown = false;
  bool crlf = false;
  int xml = -1;  // not yet known
  bool unterminated = false;
  bool lastLineIsData = false;

  void Learn(const char* block, std::size_t held, std::size_t size, bool last) {
    std::size_t from = held;
    if (!started) {
      started = true;
      if (size >= 3 && std::memcmp(block, "\xEF\xBB\xBF", 3) == 0) from = 3;
    }
    for (std::size_t i = from; xml < 0 && i < size; ++i) {
      if (block[i] != ' ' && block[i] != '\t' && block[i] != '\r' && block[i] != '\n') {
        xml = block[i] == '<';
      }
    }
    if (!eolKnown) {
      if (const void* feed = std::memchr(block + held, '\n', size - held)) {
        const char* at = static_cast<const char*>(feed);
        eolKnown = true;
        crlf = at > block && at[-1] == '\r';
      }
    }
    if (last) {
      std::size_t tail = size;
      while (tail > 0 && block[tail - 1] != '\n') --tail;
      unterminated = tail < size;
      lastLineIsData = unterminated && std::memchr(block + tail, '#', size - tail) == nullptr;
    }
  }
};

Mintu::Utilities::FileStamp Found(const StampScan& scan) {
  Mintu::Utilities::FileStamp found;
  found.read = true;
  found.checksum = scan.Checksum();
  found.stamped = scan.Stamped();
  found.valid = scan.Valid();
  return found;
}

}  // namespace

namespace Mintu {

// ------------------------------------------------------------------ Paths

void Utilities::GetPlatformIndependentPath(StringBase& path) {
  path.ReplaceChars(BACKSLASH, SLASH);
  CollapseRuns(path, SLASH);
}

bool Utilities::IsTerminatedWithPathSeparator(const StringBase& path) {
  if (path.IsEmpty()) return false;
  const StringBase::size_type last = path.GetLength() - 1;
  if (path.GetIndexOfLastChar(BACKSLASH) == last) return true;
  return path.GetIndexOfLastChar(SLASH) == last;
}

StringBase Utilities::TerminateWithPathSeparator(const StringBase& path) {
  StringBase result(path);
  if (result.IsEmpty() || IsTerminatedWithPathSeparator(result)) return result;
  if (Port::File::isfile(Port::FileName(result).MakeNative())) return result;
  result.Append(Port::FileName::GetPathSeparator());
  return result;
}

StringBase Utilities::GetAbsolutePath(const StringBase& path) {
  if (path.IsEmpty()) return StringBase();
  StringBase native = Port::FileName(path).MakeNative();
  const bool isDirectory = Port::File::isdir(native);
  if (isDirectory) native = TerminateWithPathSeparator(native);
  const StringBase once = Port::FileName(native).GetAbsolutePath(false);
  const StringBase twice = Port::FileName(once).GetAbsolutePath(false);
  return isDirectory ? TerminateWithPathSeparator(twice) : twice;
}

StringBase Utilities::GetAbsoluteDirectory(const StringBase& path) {
  if (path.IsEmpty()) return StringBase();
  StringBase native = Port::FileName(path).MakeNative();
  const bool isDirectory = Port::File::isdir(native);
  if (isDirectory) native = TerminateWithPathSeparator(native);
  const StringBase once = Port::FileName(native).GetAbsolutePath(false);
  if (isDirectory) return TerminateWithPathSeparator(Port::FileName(once).GetAbsolutePath(false));
  // Directories always come back in one form, with their final separator, so
  // that two answers for the same directory compare equal (the working
  // directory guard's Reconfirm relies on it).
  return TerminateWithPathSeparator(Port::FileName(once).GetHead(false, false));
}

StringBase Utilities::MakeRelativePath(const StringBase& directory, const StringBase& path) {
  StringBase base = GetAbsoluteDirectory(directory);
  if (path.IsEmpty()) return StringBase();
  StringBase result = GetAbsolutePath(path);
  if (base.IsEmpty()) return result;
  // The head of a file or of a missing directory comes without a final
  // separator; the prefix must end at a path component, or "/a" would claim
  // "/ab/x" and "/a/x" would become ".//x".
  if (!IsTerminatedWithPathSeparator(base)) base.Append(Port::FileName::GetPathSeparator());
  if (result.GetIndexOfString(base, Port::COMPARE_EXACT) == 0) {
    StringBase dot(".");
    dot.Append(Port::FileName::GetPathSeparator());
    // Only the prefix: the directory's text may occur again further on.
    result.Replace(base, dot, Port::COMPARE_EXACT, false);
  }
  return result;
}

// ---------------------------------------------------- Install tree lookup

StringBase Utilities::ApplicationName() { return StringBase(APPLICATION_NAME); }

StringBase Utilities::RevisionVersion() { return Port::Version::getValue(VERSION_KEY); }

const char* Utilities::GetBuildDate() { return __DATE__; }

const char* Utilities::GetBuildTime() { return __TIME__; }

namespace {

// The search of both lookups ends at the first candidate that exists, as a
// directory or a file: its absolute path is the answer, and the hit is traced.
bool FoundAt(const Port::FileName& candidate, const StringBase& name, StringBase& found,
             DebugMessenger* logger) {
  if (!IsDirOrFile(candidate)) return false;
  found = candidate.GetAbsolutePath(false);
  TraceFound(logger, name, found);
  return true;
}

}  // namespace

bool Utilities::GetFullOrvanePathOf(const StringBase& name, StringBase& found) {
  DebugMessenger* logger = Logger();
  const Port::PathList& roots = Port::OrvanePath::GetInstance();
  for (Port::PathListIterator it = roots.begin(); it != roots.end(); ++it) {
    Port::FileName candidate;
    candidate.SetHead(*it);
    candidate.SetTail(name);
    if (FoundAt(candidate, name, found, logger)) return true;
  }
  TraceNotFound(logger, name);
  return false;
}

bool Utilities::GetFullOrvanePathWithContainer(const StringBase& name, StringBase& found) {
  DebugMessenger* logger = Logger();
  const Port::PathList& roots = Port::OrvanePath::GetInstance();
  for (Port::PathListIterator it = roots.begin(); it != roots.end(); ++it) {
    Port::FileName container;
    container.SetHead(*it);
    container.PushPathEnd(CORE_CONTAINER);
    if (!IsDirOrFile(container)) continue;
    UT_DIR listing(container.GetAbsolutePath(false), DIRECTORY_LISTING_FLAGS);
    for (UT_DIR::const_iterator entry = listing.begin(); entry != listing.end(); ++entry) {
      Port::FileName candidate(container);
      candidate.PushPathEnd(*entry);
      candidate.SetTail(name);
      if (FoundAt(candidate, name, found, logger)) return true;
    }
    listing.close();
  }
  TraceNotFound(logger, name);
  return false;
}

bool Utilities::GetJavaExecutablePath(StringBase& found) {
  const char separator = Port::FileName::GetPathSeparator();
  StringBase name;
  name.Append(separator).Append("java");
  name.Append(separator).Append(Port_Env::GetPlatformPath());
  name.Append(separator).Append("jre");
  name.Append(separator).Append("bin");
  name.Append(separator).Append("java");
  if (Port_Env::IsNt()) name.Append(".exe");
  return GetFullOrvanePathOf(name, found);
}

StringBase Utilities::NextMajorRelease() {
  DebugMessenger* logger = Logger();
  StringBase result;
  const StringBase release = Port::Version::getValue(VERSION_KEY);
  StringBase major;
  StringBase minor;
  StringBase rest;
  if (!Port::Version::splitVersion(release, major, minor, rest)) {
    if (logger->IsVerbose()) {
      logger->Verbose(StringBase::doFormat("Failed to split extract major version from %s\n.",
                                           release.c_str()));
    }
    return result;
  }
  try {
    if (major.IsEmpty()) {
      major = "1";
    } else {
      std::int32_t value = 0;
      if (major.GetINT32(Port_Range(0, major.GetLength() - 1), value)) {
        // In 64 bits: the release after 2147483647 is 2147483648, not a wrap.
        major.Format("%" PRId64, static_cast<std::int64_t>(value) + 1);
      }
    }
    result = major;
    result.Append(".1");
  } catch (...) {
    result.Empty();
    if (logger->IsVerbose()) {
      logger->Verbose(StringBase::doFormat("Unable to calculate the next major release after %s\n.",
                                           release.c_str()));
    }
  }
  return result;
}

// -------------------------------------------------- Environment expansion

const StringBase Utilities::ExpandEnvironment(const StringBase& text) {
  // This tag and the pattern below are never destroyed, so that expansion
  // still works in a host's static destructors and atexit handlers.
  static const StringBase& orvaneTag = *new StringBase("${ORVANE}");
  // A run of leading "${ORVANE}" nests lookups: each one looks up what the
  // inner ones gave. Counted here rather than recursed, so that no text is
  // long enough to exhaust the stack.
  std::size_t lookups = 0;
  std::size_t start = 0;
  while (text.GetIndexOfString(orvaneTag, Port::COMPARE_EXACT, start) == start) {
    ++lookups;
    start += orvaneTag.GetLength();
  }

  StringBase result;
  const char* const buffer = text.GetBuffer();
  std::size_t position = start;
  static const Port_Regexp& reference = *new Port_Regexp("\\$\\{([A-Za-z0-9_]*)\\}");
  std::vector<Port_Range> groups;
  // Should the matcher give up, the rest of the text is kept as it stands.
  while (position < text.GetLength() &&
         reference.Search(buffer, text.GetLength(), position, groups)) {
    result.Append(buffer + position, groups[0].first - position);
    const std::string name(buffer + groups[1].first, groups[1].GetLength());
    result.Append(StringBase(Port_Env::GetEnv(name.c_str())));
    position = groups[0].last + 1;
  }
  result.Append(buffer + position, text.GetLength() - position);

  for (std::size_t i = 0; i < lookups; ++i) {
    StringBase found;
    GetFullOrvanePathOf(result, found);
    result = found;
  }
  return result;
}

// -------------------------------------------------------- Checksum stamps

unsigned int Utilities::CalculateChecksum(const StringBase& text, StringBase& checksum) {
  // The scan gathers the data lines in the bytes it is given: a copy of them.
  std::string bytes(text.GetBuffer(), text.GetLength());
  StampScan scan;
  scan.Consume(&bytes[0], bytes.size(), true);
  checksum = scan.Checksum();
  return 0;
}

unsigned int Utilities::ValidateFileChecksum(const StringBase& fileName, bool& valid) {
  valid = true;
  Port::Stream* stream = Port::File::open(fileName, Port::File::ACCESS_READ, false);
  if (stream == nullptr) {
    MINTU_ISSUE(kSource).issueError("Could not open %s\n", fileName.c_str());
    valid = false;
    return FILE_FAILED;
  }

  StampScan scan;
  ScanBlocks(
      scan, [stream](char* to, std::size_t size) { return stream->read(to, size); }, LookNoFurther);

  if (!Port::File::close(stream)) {
    MINTU_ISSUE(kSource).issueError("Could not close %s\n", fileName.c_str());
    valid = false;
    return FILE_FAILED;
  }
  if (!scan.Valid()) valid = false;
  return FILE_OK;
}

namespace {

// Examines the file and opens it for reading when it is a regular one: 0 or why not.
int OpenRegular(const StringBase& fileName, Port::SafeFile::Target& target,
                Port::SafeFile::Reader& reader) {
  int error = Port::SafeFile::inspect(fileName.str(), target);
  if (error == 0 && !target.exists) error = ENOENT;
  return error != 0 ? error : reader.open(target);
}

}  // namespace

Utilities::FileStamp Utilities::FileChecksum(const StringBase& fileName) {
  Port::SafeFile::Target target;
  Port::SafeFile::Reader reader;
  int error = OpenRegular(fileName, target, reader);
  StampScan scan;
  if (error == 0) {
    ScanBlocks(
        scan, [&](char* to, std::size_t size) { return reader.read(to, size, error); },
        LookNoFurther);
  }
  FileStamp found;
  if (error == 0) found = Found(scan);
  if (error != 0) found.reason = Port::SafeFile::errorText(error);
  return found;
}

Utilities::FileStamp Utilities::StreamChecksum(std::FILE* stream) {
  StampScan scan;
  ScanBlocks(
      scan, [stream](char* to, std::size_t size) { return std::fread(to, 1, size, stream); },
      LookNoFurther);
  FileStamp found;
  if (!std::ferror(stream)) return Found(scan);
  found.reason = Port::SafeFile::errorText(errno != 0 ? errno : EIO);
  return found;
}

namespace {

Utilities::StampResult Refused(const StringBase& reason) {
  Utilities::StampResult result;
  result.reason = reason;
  return result;
}

}  // namespace

Utilities::StampResult Utilities::StampFile(const StringBase& fileName) {
  // Kind, links and permission first: nothing is read from what is refused.
  Port::SafeFile::Target target;
  Port::SafeFile::Reader reader;
  int error = OpenRegular(fileName, target, reader);
  Port::SafeFile::Replacement replacement(target);
  if (error == 0) error = replacement.open();
  if (error != 0) return Refused(Port::SafeFile::errorText(error));

  // The file goes to the replacement as it is read; the checksum is known at
  // its end, and written then.
  StampScan scan;
  TextLayout layout;
  bool binary = false;
  ScanBlocks(
      scan, [&](char* to, std::size_t size) { return reader.read(to, size, error); },
      [&](const char* block, std::size_t held, std::size_t size, bool last) {
        if (error != 0) return false;
        if (std::memchr(block + held, '\0', size - held) != nullptr) {
          binary = true;
          return false;
        }
        layout.Learn(block, held, size, last);
        error = replacement.write(block + held, size - held);
        return error == 0;
      });
  if (binary) return Refused("a binary file (it holds NUL bytes)");
  if (error != 0) return Refused(Port::SafeFile::errorText(error));

  StampResult result;
  if (scan.Stamped()) {
    if (!scan.Renewable()) {
      return Refused(StringBase::doFormat(
          "line %llu holds \"%s\" that is not a stamp (one separating character and eight "
          "checksum characters ending the line or the comment)",
          scan.StampLine(), STAMP_TAG));
    }
    result.checksum = scan.Checksum();
    if (scan.Valid()) {
      result.outcome = STAMP_UNCHANGED;
      return result;
    }
    error =
        replacement.rewrite(scan.StampOffset(), result.checksum.GetBuffer(), STAMP_CHECKSUM_LENGTH);
  } else {
    // The stamp line takes the file's line ends; one ending a last line
    // that had none adds its CR to that line's data.
    const std::string eol = layout.crlf ? "\r\n" : "\n";
    if (layout.unterminated && layout.crlf && layout.lastLineIsData) scan.Extend("\r", 1);
    result.checksum = scan.Checksum();
    std::string stamp = layout.unterminated ? eol : std::string();
    const std::string tag = std::string(STAMP_TAG) + " " + result.checksum.str();
    stamp += (layout.xml == 1 ? "<!-- " + tag + " -->" : tag) + eol;
    error = replacement.write(stamp.data(), stamp.size());
  }
  if (error == 0) error = replacement.commit();
  if (error != 0) return Refused(Port::SafeFile::errorText(error));
  result.outcome = STAMP_WRITTEN;
  return result;
}

// ------------------------------------------------------------- File lists

std::vector<StringBase> Utilities::GetFileListFileStrings(const Port::FileName& listFile) {
  std::vector<StringBase> result;
  const StringBase directory = listFile.GetHead(true, false);
  DebugMessenger* logger = Logger();

  if (!Port::File::canread(listFile)) {
    MINTU_ISSUE(kSource).issueError("Cannot read %s\n", listFile.GetAbsolutePath(false).c_str());
    return result;
  }
  Port::Stream* stream = Port::File::open(listFile, Port::File::ACCESS_READ, false);
  if (stream == nullptr) {
    MINTU_ISSUE(kSource).issueError("Cannot open %s\n", listFile.GetAbsolutePath(false).c_str());
    return result;
  }
  if (logger->IsNormal()) {
    logger->Normal(
        StringBase::doFormat("Reading file list %s\n", listFile.GetAbsolutePath(false).c_str()));
  }

  const bool nt = Port_Env::IsNt();
  StringBase line;
  while (!stream->geteof()) {
    if (stream->readline(line) > 0) {
      // Lists written on Windows end their lines with CR LF.
      line.Trim("\r", Port::TRIM_RIGHT);
      const std::size_t comment = line.GetIndexOfFirstChar(COMMENT_CHAR);
      if (comment != StringBase::NOT_FOUND) {
        line = comment == 0 ? StringBase() : line.Extract(Port_Range(0, comment - 1));
      }
      line.ReplaceChars('\t', ' ');
      line.Trim(" \t", Port::TRIM_BOTH);
    } else {
      line.Empty();
    }
    if (line.IsEmpty()) continue;

    if (nt) {
      line.ReplaceChars(SLASH, BACKSLASH);
      CollapseRuns(line, BACKSLASH);
    } else {
      line.ReplaceChars(BACKSLASH, SLASH);
      CollapseRuns(line, SLASH);
    }

    const Port::FileName member(directory + line);
    // A name with a NUL byte names no file, whatever its first part names.
    const bool hasNul = std::memchr(line.GetBuffer(), '\0', line.GetLength()) != nullptr;
    if (!hasNul && Port::File::exist(member)) {
      result.push_back(line);
    } else {
      MINTU_ISSUE(kSource).issueWarning("Missing file list member %s\n",
                                        member.GetAbsolutePath(false).c_str());
    }
  }

  if (!Port::File::close(stream)) {
    MINTU_ISSUE(kSource).issueError("Cannot close %s\n", listFile.GetAbsolutePath(false).c_str());
  }
  return result;
}

std::vector<Port::FileName> Utilities::GetFileListFileNames(const Port::FileName& listFile) {
  const StringBase directory = listFile.GetHead(true, false);
  const std::vector<StringBase> members = GetFileListFileStrings(listFile);
  std::vector<Port::FileName> result;
  result.reserve(members.size());
  for (const StringBase& member : members) result.push_back(Port::FileName(directory + member));
  return result;
}

// --- String containers ------------------------------------------------------

namespace {

template <class Sequence>
CommonI::RefCountPtr<UtilI::IStringContainer> ToContainer(const Sequence& strings) {
  CommonI::RefCountPtr<UtilI::IStringContainer> container =
      UtilI::VectorHelperT<UtilI::IStringContainer>::Create();
  for (const StringBase& s : strings) container->Add(s);
  return container;
}

template <class Sequence>
Sequence FromContainer(const CommonI::RefCountPtr<const UtilI::IStringContainer>& container) {
  Sequence result;
  if (!container) return result;
  CommonI::RefCountPtr<UtilI::IStringIterator> it;
  if (container->GetIterator(it) != CitI::RESULT_SUCCESS || !it) return result;
  it->Reset();
  // An iterator that can no longer advance ends the walk even if it never
  // reports its end, so a faulty container cannot hold the caller forever.
  while (!it->IsAtEnd()) {
    result.push_back(it->GetCurrent());
    if (it->Next() != CitI::RESULT_SUCCESS) break;
  }
  return result;  // `it` goes, and with it the iterator's hold on the container
}

}  // namespace

CommonI::RefCountPtr<UtilI::IStringContainer> Utilities::ConvertStringListToStringContainer(
    const std::list<StringBase>& list) {
  return ToContainer(list);
}

CommonI::RefCountPtr<UtilI::IStringContainer> Utilities::ConvertStringVectorToStringContainer(
    const std::vector<StringBase>& vector) {
  return ToContainer(vector);
}

const std::list<StringBase> Utilities::ConvertStringContainerToStringList(
    const CommonI::RefCountPtr<const UtilI::IStringContainer>& container) {
  return FromContainer<std::list<StringBase>>(container);
}

const std::vector<StringBase> Utilities::ConvertStringContainerToStringVector(
    const CommonI::RefCountPtr<const UtilI::IStringContainer>& container) {
  return FromContainer<std::vector<StringBase>>(container);
}

}  // namespace Mintu
