// mintu checksum, stamp, verify, filelist, expand, find, java, release, cores-level.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "MintuCli.h"
#include "mintu/mintu.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"

namespace MintuCli {

namespace {

const char* const kStampTag = "# CRC:";

void ExpectCount(const std::vector<std::string>& args, std::size_t least, std::size_t most) {
  if (args.size() < least) throw UsageError("missing argument");
  if (args.size() > most) throw UsageError("too many arguments");
}

// The text with its stamp renewed: the eight characters after the first
// "# CRC:" and its separator are overwritten in place, so whatever frames the
// stamp (a comment of the file's language) stays. A text without a stamp gets
// a stamp line at its end; XML files get it inside a comment, which keeps them
// well formed.
std::string Stamped(const std::string& path, const std::string& content,
                    const std::string& checksum) {
  const std::string stamp = std::string(kStampTag) + " " + checksum;
  const std::size_t at = content.find(kStampTag);
  if (at == std::string::npos) {
    std::string result = content;
    if (!result.empty() && result.back() != '\n') result += '\n';
    const bool xml = content.compare(0, 5, "<?xml") == 0 ||
                     (path.size() > 4 && path.compare(path.size() - 4, 4, ".xml") == 0);
    return result + (xml ? "<!-- " + stamp + " -->" : stamp) + '\n';
  }
  std::string result = content;
  const std::size_t lineEnd = std::min(content.find('\n', at), content.size());
  if (lineEnd - at >= stamp.size()) {
    result.replace(at, stamp.size(), stamp);
  } else {
    result.replace(at, lineEnd - at, stamp);
  }
  return result;
}

// Replaces `path` by `content` through a temporary file, so a failed write
// leaves the old file whole.
bool WriteReplacing(const std::string& path, const std::string& content) {
  const std::string temporary = path + ".mintu-tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (!Port::File::rename(temporary, path)) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

// The one file argument's content and the checksum of its data lines; false
// (reported) when the file cannot be read.
static bool ReadAndChecksum(const std::vector<std::string>& args, std::string& content,
                            Mintu::StringBase& checksum) {
  ExpectCount(args, 1, 1);
  if (!ReadWholeFile(args[0], content)) {
    ReportError("cannot read " + args[0]);
    return false;
  }
  Mintu::Utilities::CalculateChecksum(content, checksum);
  return true;
}

int RunChecksum(const std::vector<std::string>& args) {
  std::string content;
  Mintu::StringBase checksum;
  if (!ReadAndChecksum(args, content, checksum)) return EXIT_REPORTED_FAILURE;
  std::cout << checksum << '\n';
  return EXIT_OK;
}

int RunStamp(const std::vector<std::string>& args) {
  std::string content;
  Mintu::StringBase checksum;
  if (!ReadAndChecksum(args, content, checksum)) return EXIT_REPORTED_FAILURE;
  if (!WriteReplacing(args[0], Stamped(args[0], content, checksum.str()))) {
    ReportError("cannot write " + args[0]);
    return EXIT_REPORTED_FAILURE;
  }
  std::cout << args[0] << ": stamped " << checksum << '\n';
  return EXIT_OK;
}

int RunVerify(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError("no file given");
  int status = EXIT_OK;
  for (const std::string& file : args) {
    bool valid = false;
    const unsigned int result = Mintu::Utilities::ValidateFileChecksum(file, valid);
    std::string content;
    const bool stamped =
        ReadWholeFile(file, content) && content.find(kStampTag) != std::string::npos;
    if (result != 0) {
      std::cout << file << ": unreadable\n";
      status = EXIT_REPORTED_FAILURE;
    } else if (!valid) {
      std::cout << file << ": CHANGED (checksum does not match its stamp)\n";
      status = EXIT_REPORTED_FAILURE;
    } else {
      std::cout << file << (stamped ? ": OK\n" : ": OK (no stamp)\n");
    }
  }
  return status;
}

int RunFileList(const std::vector<std::string>& args) {
  bool full = false;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--full") {
      full = true;
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  ExpectCount(files, 1, 1);
  const Port::FileName list(files[0].c_str());
  if (!Port::File::canread(list)) {
    ReportError("cannot read file list " + files[0]);
    return EXIT_REPORTED_FAILURE;
  }
  if (full) {
    for (const Port::FileName& name : Mintu::Utilities::GetFileListFileNames(list)) {
      std::cout << name.GetFullPath() << '\n';
    }
  } else {
    for (const Mintu::StringBase& name : Mintu::Utilities::GetFileListFileStrings(list)) {
      std::cout << name << '\n';
    }
  }
  return EXIT_OK;
}

int RunExpand(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError("no text given");
  int status = EXIT_OK;
  for (const std::string& text : args) {
    const Mintu::StringBase expanded = Mintu::Utilities::ExpandEnvironment(text);
    if (expanded.IsEmpty() && text.rfind("${ORVANE}", 0) == 0) {
      ReportError("not found under the install roots: " + text);
      status = EXIT_REPORTED_FAILURE;
      continue;
    }
    std::cout << expanded << '\n';
  }
  return status;
}

int RunFind(const std::vector<std::string>& args) {
  bool container = false;
  std::vector<std::string> names;
  for (const std::string& a : args) {
    if (a == "--container" || a == "-c") {
      container = true;
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else {
      names.push_back(a);
    }
  }
  if (names.empty()) throw UsageError("no name given");
  int status = EXIT_OK;
  for (const std::string& name : names) {
    Mintu::StringBase found;
    const bool ok = container ? Mintu::Utilities::GetFullOrvanePathWithContainer(name, found)
                              : Mintu::Utilities::GetFullOrvanePathOf(name, found);
    if (ok) {
      std::cout << found << '\n';
    } else {
      ReportError("not found under the install roots: " + name);
      status = EXIT_REPORTED_FAILURE;
    }
  }
  return status;
}

int RunJava(const std::vector<std::string>& args) {
  ExpectCount(args, 0, 0);
  Mintu::StringBase found;
  if (!Mintu::Utilities::GetJavaExecutablePath(found)) {
    ReportError("no Java program for this platform under the install roots");
    return EXIT_REPORTED_FAILURE;
  }
  std::cout << found << '\n';
  return EXIT_OK;
}

int RunRelease(const std::vector<std::string>& args) {
  ExpectCount(args, 0, 0);
  const Mintu::StringBase next = Mintu::Utilities::NextMajorRelease();
  std::cout << Mintu::Utilities::ApplicationName() << '\n'
            << "installed release:  " << Mintu::Utilities::RevisionVersion() << '\n'
            << "next major release: " << next << '\n'
            << "library built:      " << Mintu::Utilities::GetBuildDate() << ' '
            << Mintu::Utilities::GetBuildTime() << '\n';
  if (next.IsEmpty()) {
    ReportError("cannot tell the next major release");
    return EXIT_REPORTED_FAILURE;
  }
  return EXIT_OK;
}

int RunCoresLevel(const std::vector<std::string>& args) {
  ExpectCount(args, 0, 0);
  Mintu::StringBase level;
  switch (Mintu::IPUpdateInfo::GetCoresLevel(level)) {
    case Mintu::IPUpdateInfo::LEVEL_READ:
      std::cout << level << '\n';
      return EXIT_OK;
    case Mintu::IPUpdateInfo::LOG_MISSING:
      ReportError("no install root holds a readable IPupdate.log");
      return EXIT_REPORTED_FAILURE;
    case Mintu::IPUpdateInfo::LEVEL_MISSING:
      ReportError("the update log names no cores level");
      return EXIT_REPORTED_FAILURE;
    default:  // LOG_UNOPENED: the library has reported it
      return EXIT_REPORTED_FAILURE;
  }
}

}  // namespace MintuCli
