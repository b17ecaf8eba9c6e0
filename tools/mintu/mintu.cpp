// mintu: the library's services for scripts and people, without C++.
//
//   mintu [--quiet | --verbose] <command> [arguments]   (mintu --help lists the commands)
//
// Exit status: 0 success, 1 a failure the command reports, 2 a malformed command line.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "MintuCli.h"
#include "mintu/mintu.h"
#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_Msg.h"
#include "port/Port_OrvanePath.h"
#include "port/Port_SafeFile.h"

namespace MintuCli {

namespace {

void PrintOverview(std::ostream& out) {
  out << "Usage: mintu [--quiet | --verbose] <command> [arguments]\n"
         "       mintu --version | --help\n\n"
         "Commands:\n";
  for (const Command& command : kCommands) {
    out << "  " << command.name;
    for (std::size_t pad = std::strlen(command.name); pad < 12; ++pad) out << ' ';
    out << command.summary << '\n';
  }
  out << "\n\"mintu <command> --help\" describes a command.\n"
         "Options (anywhere on the line): --quiet (-q) shows no messages; --verbose (-v)\n"
         "shows all messages, where in mintu they come from, and the library's debug\n"
         "traces (so does the environment variable ORV_MN_API_DEBUG). Options take their\n"
         "value as --option VALUE or --option=VALUE; \"--\" ends the options; \"-\" names\n"
         "the standard input or output.\n"
         "Install roots come from ORVANE; without it the sample installation installed\n"
         "with mintu (share/mintu/sample-install) is used.\n";
}

void PrintVersion() {
  Print(std::string("mintu ") + MINTU_TOOL_VERSION +
        "\nlibrary: " + Mintu::Utilities::ApplicationName().str() + " libMintu_Utilities built " +
        Mintu::Utilities::GetBuildDate() + " " + Mintu::Utilities::GetBuildTime() +
        "\ninstalled release: " + Mintu::Utilities::RevisionVersion().str() + "\n");
}

// Without ORVANE the tool looks into the sample installation that ships with
// it: installed beside it (<prefix>/bin/mintu and <prefix>/share/mintu), found
// from the program's own path, or else in the source tree it was built from.
void UseSampleInstallationIfNeeded() {
  if (Port_Env::GetEnv("ORVANE") != nullptr) return;
  std::vector<std::string> candidates;
  const std::string self = Port::SafeFile::executablePath();
  if (!self.empty()) {
    const Port::FileName program(self.c_str());
    candidates.push_back(program.GetHead(true, true).str() + "../share/mintu/sample-install");
  }
#ifdef MINTU_SAMPLE_INSTALL_DIR
  candidates.push_back(MINTU_SAMPLE_INSTALL_DIR);
#endif
  for (const std::string& dir : candidates) {
    const std::string root1 = dir + "/root1";
    if (Port::File::isdir(root1.c_str())) {
      Port::OrvanePath::GetInstance().Set({root1.c_str(), (dir + "/root2").c_str()});
      return;
    }
  }
}

// Counts the errors issued by the tool and the library, shown or not: a
// command that reported one has not succeeded.
class ErrorCount : public Port_MsgMan {
 public:
  ErrorCount() { Port_MsgDispatcher::addMsgMan(this); }
  ~ErrorCount() override { Port_MsgDispatcher::removeMsgMan(this); }
  void handleMessage(const Port_Message& message) override {
    if (message.type == PORT_MSG_ERROR || message.type == PORT_MSG_FATAL) ++errors;
  }
  int errors = 0;
};

// Everything written to the standard output reached it; otherwise reported.
int FinishStandardOutput(int status) {
  errno = 0;
  const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  if (!failed) return status;
  MINTU_CLI_ERROR(CannotWrite("standard output", errno != 0 ? errno : EIO));
  return EXIT_REPORTED_FAILURE;
}

int Run(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  // The command is the first word that is not an option; the words before it
  // are parsed as a command's are, with only the global options and --version.
  std::size_t at = 0;
  while (at < words.size() && words[at] != "--" && words[at].size() > 1 && words[at][0] == '-') {
    ++at;
  }
  bool quiet = false, verbose = false;
  try {
    const Arguments global(
        std::vector<std::string>(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(at)),
        {{"version", 'V', false}});
    if (global.help) {
      PrintOverview(std::cout);
      return EXIT_OK;
    }
    if (global.Has("version")) {
      PrintVersion();
      return EXIT_OK;
    }
    quiet = global.quiet;
    verbose = global.verbose;
  } catch (const UsageError& e) {
    std::cerr << "mintu: " << e.what() << "\n";
    PrintOverview(std::cerr);
    return EXIT_USAGE;
  }
  if (at < words.size() && words[at] == "--") ++at;
  if (at >= words.size()) {
    PrintOverview(std::cerr);
    return EXIT_USAGE;
  }
  const Command* command = nullptr;
  for (const Command& c : kCommands) {
    if (words[at] == c.name) command = &c;
  }
  if (command == nullptr) {
    std::cerr << "mintu: unknown command " << words[at] << "\n";
    PrintOverview(std::cerr);
    return EXIT_USAGE;
  }

  Mintu::MsgMan::DiagnosticLevel level = Mintu::MsgMan::DIAGNOSTIC_NORMAL;
  try {
    const Arguments args(
        std::vector<std::string>(words.begin() + static_cast<std::ptrdiff_t>(at) + 1, words.end()),
        command->options);
    quiet = quiet || args.quiet;
    verbose = verbose || args.verbose;
    if (args.help) {
      Print(command->usage);
      return EXIT_OK;
    }
    if (quiet) level = Mintu::MsgMan::DIAGNOSTIC_QUIET;
    if (verbose) level = Mintu::MsgMan::DIAGNOSTIC_FULL;
    Mintu::MsgMan messages(level);
    Mintu::DebugMessengerFactory::SetLevelFromEnv();
    if (verbose)
      Mintu::DebugMessengerFactory::GetLogger()->SetLevel(Mintu::DebugMessenger::DEBUG_VERBOSE);
    ShowReportOrigin(verbose);
    UseSampleInstallationIfNeeded();
    ErrorCount reported;
    try {
      const int status = FinishStandardOutput(command->run(args));
      return status == EXIT_OK && reported.errors > 0 ? EXIT_REPORTED_FAILURE : status;
    } catch (const UsageError&) {
      throw;
    } catch (const Failure& e) {
      MINTU_CLI_ERROR(e.what());
      FinishStandardOutput(EXIT_REPORTED_FAILURE);
      return EXIT_REPORTED_FAILURE;
    } catch (const std::exception& e) {  // from the library
      MINTU_CLI_ERROR(std::string("mintu ") + command->name + ": " + e.what());
      FinishStandardOutput(EXIT_REPORTED_FAILURE);
      return EXIT_REPORTED_FAILURE;
    }
  } catch (const UsageError& e) {
    std::cerr << "mintu " << command->name << ": " << e.what() << "\n\n" << command->usage;
    return EXIT_USAGE;
  }
}

}  // namespace

}  // namespace MintuCli

int main(int argc, char** argv) {
  Port::SafeFile::guardStandardStreams();
  return MintuCli::Run(argc, argv);
}
