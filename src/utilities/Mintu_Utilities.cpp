#include "port/Port_Init.h"
// Utilities: paths, install-tree lookups, environment expansion, checksum
// stamps and file lists.

#include "mintu/Mintu_Utilities.h"

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
        }
      }
      char* const feed = static_cast<char*>(std::memchr(line, '\n', Span(line, end)));
      if (feed == nullptr && !last) break;  // read again with the next block
      char* const lineEnd = feed ? feed : end;
      const std::size_t length = Span(line, lineEnd);
      const bool data = hash >= lineEnd;
      if (!data && !stamped_) FindStamp(line, hash, lineEnd);
      if (Capturing()) KeepStored(line, length);
      if (data) {
        std::memmove(out, line, length);
        out += length;
      } else {
        hash = Find(lineEnd, end, COMMENT_CHAR);
      }
      line = feed ? feed + 1 : end;
    }
    crc_ = Mintu::StringBase::CRC32(crc_, block, Span(block, out));
    return Span(block, line);
  }

  /// The checksum text of the data lines so far.
  Mintu::StringBase Checksum() const {
    Mintu::StringBase text;
    text.Format("%8x", static_cast<unsigned int>(crc_));
    return text;
  }

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

  // Looks for the tag in a comment line, from its first "#" on.
  void FindStamp(const char* line, const char* hash, const char* lineEnd) {
    const std::size_t tagLength = std::strlen(STAMP_TAG);
    for (const char* at = hash;
         at != nullptr && static_cast<std::size_t>(lineEnd - at) >= tagLength;
         at = static_cast<const char*>(
             std::memchr(at + 1, COMMENT_CHAR, static_cast<std::size_t>(lineEnd - at - 1)))) {
      if (std::memcmp(at, STAMP_TAG, tagLength) == 0) {
        stamped_ = true;
        storedFrom_ = static_cast<std::size_t>(at - line) + STAMP_CHECKSUM_OFFSET;
        return;
      }
    }
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
};

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

  // One pass over the file in blocks of whole lines. A line longer than the
  // block makes the block grow: a data line is only known to be one at its
  // end.
  StampScan scan;
  std::string block(VALIDATE_BLOCK_SIZE, '\0');
  std::size_t held = 0;  // bytes of an unfinished line at the block's front
  for (bool last = false; !last;) {
    if (held == block.size()) block.resize(block.size() * 2);
    const std::size_t wanted = block.size() - held;
    const std::size_t got = stream->read(&block[held], wanted);
    last = got < wanted;
    const std::size_t size = held + got;
    const std::size_t taken = scan.Consume(&block[0], size, last);
    held = size - taken;
    if (held != 0 && taken != 0) std::memmove(&block[0], &block[taken], held);
  }

  if (!Port::File::close(stream)) {
    MINTU_ISSUE(kSource).issueError("Could not close %s\n", fileName.c_str());
    valid = false;
    return FILE_FAILED;
  }
  if (!scan.Valid()) valid = false;
  return FILE_OK;
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
