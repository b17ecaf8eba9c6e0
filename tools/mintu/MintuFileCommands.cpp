// mintu checksum, stamp, verify, filelist, expand, find, java, release, cores-level.

#include <algorithm>
#include <cstdio>
#include <random>

#include "MintuCli.h"
#include "mintu/mintu.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "port/Port_SafeFile.h"

namespace MintuCli {

namespace {

void ExpectCount(const std::vector<std::string>& operands, std::size_t least, std::size_t most) {
  if (operands.size() < least) throw UsageError("missing argument");
  if (operands.size() > most) throw UsageError("too many arguments");
}

// The checksum and stamp of FILE, or of the standard input for "-".
Mintu::Utilities::FileStamp Checked(const std::string& file) {
  if (file != "-") return Mintu::Utilities::FileChecksum(file);
  ClaimStandardInput();
  return Mintu::Utilities::StreamChecksum(stdin);
}

}  // namespace

int RunChecksum(const Arguments& args) {
  ExpectCount(args.operands, 1, 1);
  const Mintu::Utilities::FileStamp found = Checked(args.operands[0]);
  if (!found.read) throw Failure("cannot read " + args.operands[0] + ": " + found.reason.str());
  Print(found.checksum.str() + '\n');
  return EXIT_OK;
}

int RunStamp(const Arguments& args) {
  if (args.operands.empty()) throw UsageError("no file given");
  int status = EXIT_OK;
  for (const std::string& file : args.operands) {
    const Mintu::Utilities::StampResult result = Mintu::Utilities::StampFile(file);
    if (result.outcome == Mintu::Utilities::STAMP_REFUSED) {
      MINTU_CLI_ERROR("cannot stamp " + file + ": " + result.reason.str());
      status = EXIT_REPORTED_FAILURE;
    } else {
      const bool written = result.outcome == Mintu::Utilities::STAMP_WRITTEN;
      Print(file + (written ? ": stamped " : ": unchanged ") + result.checksum.str() + '\n');
    }
  }
  return status;
}

int RunVerify(const Arguments& args) {
  if (args.operands.empty()) throw UsageError("no file given");
  if (std::count(args.operands.begin(), args.operands.end(), "-") > 1) {
    throw UsageError("the standard input (-) may be named only once");
  }
  int status = EXIT_OK;
  for (const std::string& file : args.operands) {
    const Mintu::Utilities::FileStamp found = Checked(file);
    if (!found.read) {
      MINTU_CLI_ERROR("cannot read " + file + ": " + found.reason.str());
      Print(file + ": unreadable\n");
      status = EXIT_REPORTED_FAILURE;
    } else if (!found.stamped) {
      Print(file + ": OK (no stamp)\n");
    } else if (found.valid) {
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
