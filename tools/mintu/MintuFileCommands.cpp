// mintu checksum, stamp, verify, filelist, expand, find, java, release, cores-level.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>

#include "MintuCli.h"
#include "mintu/mintu.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "port/Port_SafeFile.h"

namespace MintuCli {

namespace {

const std::string kStampTag = "# CRC:";
const std::size_t kChecksumLength = 8;

void ExpectCount(const std::vector<std::string>& operands, std::size_t least, std::size_t most) {
  if (operands.size() < least) throw UsageError("missing argument");
  if (operands.size() > most) throw UsageError("too many arguments");
}

std::string ChecksumOf(const std::string& content) {
  Mintu::StringBase checksum;
  Mintu::Utilities::CalculateChecksum(content, checksum);
  return checksum.str();
}

bool IsChecksumChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ' ';
}

// The text with its stamp renewed, or a Failure naming the line when the
// first "# CRC:" (the one validation reads) is not a stamp. A stamp is the
// tag, one separating character and eight checksum characters that end the
// line or are followed by the end of an XML comment; only those eight change.
// A text without a stamp gets a stamp line at its end, inside a comment for
// XML files so that they stay well formed.
std::string Stamped(const std::string& path, const std::string& content,
                    const std::string& checksum) {
  const std::size_t at = content.find(kStampTag);
  if (at == std::string::npos) {
    std::string result = content;
    if (!result.empty() && result.back() != '\n') result += '\n';
    const std::string stamp = kStampTag + " " + checksum;
    const bool xml = content.compare(0, 5, "<?xml") == 0 ||
                     (path.size() > 4 && path.compare(path.size() - 4, 4, ".xml") == 0);
    return result + (xml ? "<!-- " + stamp + " -->" : stamp) + '\n';
  }
  const std::size_t first = at + kStampTag.size() + 1;  // after the separator
  const std::size_t lineEnd = std::min(content.find('\n', at), content.size());
  bool valid = first + kChecksumLength <= lineEnd && content[first - 1] != '\r';
  for (std::size_t i = first; valid && i < first + kChecksumLength; ++i)
    valid = IsChecksumChar(content[i]);
  if (valid) {
    std::string rest = content.substr(first + kChecksumLength, lineEnd - first - kChecksumLength);
    if (!rest.empty() && rest.back() == '\r') rest.pop_back();
    const std::size_t text = rest.find_first_not_of(" \t");
    valid = text == std::string::npos || rest.compare(text, 3, "-->") == 0;
  }
  if (!valid) {
    const std::size_t line =
        1 + static_cast<std::size_t>(std::count(
                content.begin(), content.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    throw Failure("line " + std::to_string(line) + " holds \"" + kStampTag +
                  "\" that is not a stamp (one separating character and eight checksum "
                  "characters ending the line or the comment)");
  }
  std::string result = content;
  result.replace(first, kChecksumLength, checksum);
  return result;
}

// Stamps one file; the reason it cannot be done is reported by the caller.
std::string StampFile(const std::string& file) {
  Port::SafeFile::Target target;
  if (int failed = Port::SafeFile::inspect(file, target)) throw Failure(CannotRead(file, failed));
  if (!target.exists) throw Failure(CannotRead(file, ENOENT));
  std::string content;
  int error = 0;
  if (!ReadInput(target.path, content, error)) throw Failure(CannotRead(file, error));
  if (!target.regular) throw Failure("cannot stamp " + file + ": not a regular file");
  if (!target.writable) throw Failure(CannotWrite(file, EACCES));
  if (target.links > 1) {
    throw Failure("cannot stamp " + file + ": it has " + std::to_string(target.links) +
                  " hard links, and replacing it would split them");
  }
  const std::string checksum = ChecksumOf(content);
  std::string stamped;
  try {
    stamped = Stamped(file, content, checksum);
  } catch (const Failure& e) {
    throw Failure("cannot stamp " + file + ": " + e.what());
  }
  if (stamped != content) {
    error = Port::SafeFile::replace(target, stamped.data(), stamped.size());
    if (error != 0) throw Failure(CannotWrite(file, error));
  }
  return checksum;
}

}  // namespace

int RunChecksum(const Arguments& args) {
  ExpectCount(args.operands, 1, 1);
  Print(ChecksumOf(ReadInputOrFail(args.operands[0])) + '\n');
  return EXIT_OK;
}

int RunStamp(const Arguments& args) {
  if (args.operands.empty()) throw UsageError("no file given");
  int status = EXIT_OK;
  for (const std::string& file : args.operands) {
    try {
      Print(file + ": stamped " + StampFile(file) + '\n');
    } catch (const Failure& e) {
      MINTU_CLI_ERROR(e.what());
      status = EXIT_REPORTED_FAILURE;
    }
  }
  return status;
}

int RunVerify(const Arguments& args) {
  if (args.operands.empty()) throw UsageError("no file given");
  int status = EXIT_OK;
  for (const std::string& file : args.operands) {
    std::string content;
    int error = 0;
    if (!ReadInput(file, content, error)) {
      MINTU_CLI_ERROR(CannotRead(file, error));
      Print(file + ": unreadable\n");
      status = EXIT_REPORTED_FAILURE;
      continue;
    }
    // As the library validates: the eight characters after the tag and its
    // separator against the checksum of the data lines.
    const std::size_t at = content.find(kStampTag);
    if (at == std::string::npos) {
      Print(file + ": OK (no stamp)\n");
    } else if (content.substr(at + kStampTag.size() + 1, kChecksumLength) == ChecksumOf(content)) {
      Print(file + ": OK\n");
    } else {
      Print(file + ": CHANGED (checksum does not match its stamp)\n");
      status = EXIT_REPORTED_FAILURE;
    }
  }
  return status;
}

int RunFileList(const Arguments& args) {
  ExpectCount(args.operands, 1, 1);
  std::string file = args.operands[0];
  // The library reads lists from files: the standard input goes to a
  // temporary file in the current directory, which members are relative to.
  std::string temporary;
  if (file == "-") {
    const std::string content = ReadInputOrFail(file);
    Port::SafeFile::Target target;
    target.path = temporary = ".mintu-list-" + std::to_string(std::random_device()());
    if (int error = Port::SafeFile::replace(target, content.data(), content.size()))
      throw Failure(CannotWrite(temporary, error));
    file = temporary;
  } else {
    ReadInputOrFail(file);  // reports the reason it cannot be read
  }
  const Port::FileName list(file.c_str());
  std::string out;
  if (args.Has("full")) {
    for (const Port::FileName& name : Mintu::Utilities::GetFileListFileNames(list))
      out += name.GetFullPath().str() + '\n';
  } else {
    for (const Mintu::StringBase& name : Mintu::Utilities::GetFileListFileStrings(list))
      out += name.str() + '\n';
  }
  if (!temporary.empty()) std::remove(temporary.c_str());
  Print(out);
  return EXIT_OK;
}

int RunExpand(const Arguments& args) {
  if (args.operands.empty()) throw UsageError("no text given");
  int status = EXIT_OK;
  for (const std::string& text : args.operands) {
    const Mintu::StringBase expanded = Mintu::Utilities::ExpandEnvironment(text);
    if (expanded.IsEmpty() && text.rfind("${ORVANE}", 0) == 0) {
      MINTU_CLI_ERROR("not found under the install roots: " + text);
      status = EXIT_REPORTED_FAILURE;
      continue;
    }
    Print(expanded.str() + '\n');
  }
  return status;
}

int RunFind(const Arguments& args) {
  if (args.operands.empty()) throw UsageError("no name given");
  const bool container = args.Has("container");
  int status = EXIT_OK;
  for (const std::string& name : args.operands) {
    Mintu::StringBase found;
    const bool ok = container ? Mintu::Utilities::GetFullOrvanePathWithContainer(name, found)
                              : Mintu::Utilities::GetFullOrvanePathOf(name, found);
    if (ok) {
      Print(found.str() + '\n');
    } else {
      MINTU_CLI_ERROR("not found under the install roots: " + name);
      status = EXIT_REPORTED_FAILURE;
    }
  }
  return status;
}

int RunJava(const Arguments& args) {
  ExpectCount(args.operands, 0, 0);
  Mintu::StringBase found;
  if (!Mintu::Utilities::GetJavaExecutablePath(found)) {
    MINTU_CLI_ERROR("no Java program for this platform under the install roots");
    return EXIT_REPORTED_FAILURE;
  }
  Print(found.str() + '\n');
  return EXIT_OK;
}

int RunRelease(const Arguments& args) {
  ExpectCount(args.operands, 0, 0);
  const Mintu::StringBase next = Mintu::Utilities::NextMajorRelease();
  Print(Mintu::Utilities::ApplicationName().str() + "\ninstalled release:  " +
        Mintu::Utilities::RevisionVersion().str() + "\nnext major release: " + next.str() +
        "\nlibrary built:      " + Mintu::Utilities::GetBuildDate() + ' ' +
        Mintu::Utilities::GetBuildTime() + '\n');
  if (next.IsEmpty()) {
    MINTU_CLI_ERROR("cannot tell the next major release");
    return EXIT_REPORTED_FAILURE;
  }
  return EXIT_OK;
}

int RunCoresLevel(const Arguments& args) {
  ExpectCount(args.operands, 0, 0);
  Mintu::StringBase level;
  switch (Mintu::IPUpdateInfo::GetCoresLevel(level)) {
    case Mintu::IPUpdateInfo::LEVEL_READ:
      Print(level.str() + '\n');
      return EXIT_OK;
    case Mintu::IPUpdateInfo::LOG_MISSING:
      MINTU_CLI_ERROR("no install root holds a readable IPupdate.log");
      return EXIT_REPORTED_FAILURE;
    case Mintu::IPUpdateInfo::LEVEL_MISSING:
      MINTU_CLI_ERROR("the update log names no cores level");
      return EXIT_REPORTED_FAILURE;
    default:  // LOG_UNOPENED: the library has reported it
      return EXIT_REPORTED_FAILURE;
  }
}

}  // namespace MintuCli
