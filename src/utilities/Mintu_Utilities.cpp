#include "port/Port_Init.h"
// Utilities: paths, install-tree lookups, environment expansion, checksum
// stamps and file lists.

#include "mintu/Mintu_Utilities.h"

#include <zlib.h>

#include <boost/regex.hpp>
#include <cinttypes>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

#include "diagnostics/Mintu_Issue.h"
#include "mintu/Mintu_DebugMessenger.h"
#include "mintu/Mintu_DebugMessengerFactory.h"
#include "port/Port_Dir.h"
#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_OrvanePath.h"
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

bool HasComment(const char* data, std::size_t length) {
  return length != 0 && std::memchr(data, COMMENT_CHAR, length) != nullptr;
}

// Index of the first stamp tag in `line`, or NOT_FOUND.
std::size_t FindStamp(const Mintu::StringBase& line) {
  return line.GetIndexOfString(STAMP_TAG, Port::COMPARE_EXACT);
}

// Accumulates the CRC-32 of data lines, the same value StringBase::CRC32
// gives for their concatenation. Lines are short and zlib is at its fastest
// on long blocks, so data lines are gathered into a block first.
class DataCrc {
 public:
  DataCrc() { block_.reserve(BLOCK_SIZE); }

  /// Adds a data line (one without "#").
  void AddDataLine(const char* data, std::size_t length) {
    if (block_.size() + length > BLOCK_SIZE) {
      Flush();
      if (length >= BLOCK_SIZE) {
        Update(data, length);
        return;
      }
    }
    block_.append(data, length);
  }

  Mintu::StringBase Text() {
    Flush();
    Mintu::StringBase text;
    text.Format("%8x", static_cast<unsigned int>(crc_));
    return text;
  }

 private:
  static constexpr std::size_t BLOCK_SIZE = 64 * 1024;

  void Update(const char* data, std::size_t length) {
    crc_ = crc32_z(crc_, reinterpret_cast<const Bytef*>(data), length);
  }
  void Flush() {
    if (!block_.empty()) Update(block_.data(), block_.size());
    block_.clear();
  }

  uLong crc_ = crc32_z(0L, Z_NULL, 0);
  std::string block_;
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
  return Port::FileName(once).GetHead(false, false);
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

bool Utilities::GetFullOrvanePathOf(const StringBase& name, StringBase& found) {
  DebugMessenger* logger = Logger();
  const Port::PathList& roots = Port::OrvanePath::GetInstance();
  for (Port::PathListIterator it = roots.begin(); it != roots.end(); ++it) {
    Port::FileName candidate;
    candidate.SetHead(*it);
    candidate.SetTail(name);
    if (IsDirOrFile(candidate)) {
      found = candidate.GetAbsolutePath(false);
      TraceFound(logger, name, found);
      return true;
    }
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
      if (IsDirOrFile(candidate)) {
        found = candidate.GetAbsolutePath(false);
        TraceFound(logger, name, found);
        return true;
      }
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
  static const StringBase orvaneTag("${ORVANE}");
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
  const char* const begin = text.GetBuffer() + start;
  const char* const end = text.GetBuffer() + text.GetLength();
  const char* position = begin;
  try {
    static const boost::regex reference("(\\$\\{)([A-Za-z0-9_]*)(\\})");
    boost::cmatch match;
    while (position != end && boost::regex_search(position, end, match, reference)) {
      result.Append(position, static_cast<std::size_t>(match[0].first - position));
      result.Append(StringBase(Port_Env::GetEnv(match.str(2).c_str())));
      position = match[0].second;
    }
  } catch (const std::exception&) {
    // The pattern is fixed and simple; should the matcher still give up,
    // the rest of the text is kept as it stands.
  }
  result.Append(position, static_cast<std::size_t>(end - position));

  for (std::size_t i = 0; i < lookups; ++i) {
    StringBase found;
    GetFullOrvanePathOf(result, found);
    result = found;
  }
  return result;
}

// -------------------------------------------------------- Checksum stamps

unsigned int Utilities::CalculateChecksum(const StringBase& text, StringBase& checksum) {
  DataCrc crc;
  const char* data = text.GetBuffer();
  const char* const end = data + text.GetLength();
  while (data < end) {
    const void* newline = std::memchr(data, '\n', static_cast<std::size_t>(end - data));
    const char* lineEnd = newline ? static_cast<const char*>(newline) : end;
    const std::size_t length = static_cast<std::size_t>(lineEnd - data);
    if (!HasComment(data, length)) crc.AddDataLine(data, length);
    data = newline ? lineEnd + 1 : end;
  }
  checksum = crc.Text();
  return 0;
}

unsigned int Utilities::ValidateFileChecksum(const StringBase& fileName, bool& valid) {
  valid = true;
  Port::Stream* stream = Port::File::open(fileName, Port::File::ACCESS_READ, true);
  if (stream == nullptr) {
    MINTU_ISSUE(kSource).issueError("Could not open %s\n", fileName.c_str());
    valid = false;
    return FILE_FAILED;
  }

  // One pass over the file, read as the lines of a text in which every line
  // (the last one included) ends with "\n": the data lines go into the CRC as
  // they come, and the first stamp's checksum is kept. The checksum text
  // starts a fixed distance after the tag and may run across line ends.
  DataCrc crc;
  bool stamped = false;
  StringBase stored;
  std::size_t storedFrom = 0;  // where, in the current line, the stored text goes on
  StringBase line;
  while (!stream->geteof()) {
    stream->readline(line);
    const char* data = line.GetBuffer();
    const std::size_t length = line.GetLength();
    if (!HasComment(data, length)) {
      crc.AddDataLine(data, length);
    } else if (!stamped) {
      const std::size_t tag = FindStamp(line);
      if (tag != StringBase::NOT_FOUND) {
        stamped = true;
        storedFrom = tag + STAMP_CHECKSUM_OFFSET;
      }
    }
    if (stamped && stored.GetLength() < STAMP_CHECKSUM_LENGTH) {
      // Index `length` stands for the line's "\n".
      for (std::size_t i = storedFrom; i <= length && stored.GetLength() < STAMP_CHECKSUM_LENGTH;
           ++i) {
        stored.Append(i < length ? data[i] : '\n');
      }
      storedFrom = 0;
    }
  }

  if (!Port::File::close(stream)) {
    MINTU_ISSUE(kSource).issueError("Could not close %s\n", fileName.c_str());
    valid = false;
    return FILE_FAILED;
  }
  if (stamped && stored.Compare(crc.Text(), Port::COMPARE_NOCASE) != 0) valid = false;
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

}  // namespace Mintu
