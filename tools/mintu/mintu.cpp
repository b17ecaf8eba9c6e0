// mintu: the library's services for scripts and people, without C++.
//
//   mintu [--quiet | --verbose] <command> [arguments]   (mintu --help lists the commands)
//
// Exit status: 0 success, 1 a failure the command reports, 2 a usage error.

#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "MintuCli.h"
#include "mintu/mintu.h"
#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_OrvanePath.h"

namespace MintuCli {

namespace {

void Issue(int type, const std::string& text) {
  std::string line = text;
  if (line.empty() || line.back() != '\n') line += '\n';
  Port_MsgManData::createObject("mintu", "mintu", __LINE__, "").issue(type, "%s", line.c_str());
}

void PrintOverview(std::ostream& out) {
  out << "Usage: mintu [--quiet | --verbose] <command> [arguments]\n\n"
         "Commands:\n";
  for (int i = 0; i < kCommandCount; ++i) {
    out << "  " << kCommands[i].name;
    for (std::size_t pad = std::strlen(kCommands[i].name); pad < 12; ++pad) out << ' ';
    out << kCommands[i].summary << '\n';
  }
  out << "\n\"mintu <command> --help\" describes a command.\n"
         "Options: --quiet shows no messages; --verbose shows all messages and the\n"
         "library's debug traces (so does the environment variable ORV_MN_API_DEBUG).\n"
         "Install roots come from ORVANE; without it the sample installation is used.\n";
}

// Without ORVANE the tool looks into the sample installation that ships with
// it: in the source tree it was built from, or installed next to it.
void UseSampleInstallationIfNeeded(const char* argv0) {
  if (Port_Env::GetEnv("ORVANE") != nullptr) return;
  std::vector<std::string> candidates;
#ifdef MINTU_SAMPLE_INSTALL_DIR
  candidates.push_back(MINTU_SAMPLE_INSTALL_DIR);
#endif
  const Port::FileName self(argv0);
  candidates.push_back(self.GetHead(true, true).str() + "../share/mintu/sample-install");
  for (const std::string& dir : candidates) {
    const std::string root1 = dir + "/root1";
    if (Port::File::isdir(root1.c_str())) {
      Port::OrvanePath::GetInstance().Set({root1.c_str(), (dir + "/root2").c_str()});
      return;
    }
  }
}

}  // namespace

void ReportError(const std::string& text) { Issue(PORT_MSG_ERROR, text); }
void ReportWarning(const std::string& text) { Issue(PORT_MSG_WARNING, text); }
void ReportStatus(const std::string& text) { Issue(PORT_MSG_STATUS, text); }

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  if (!Port::File::isfile(path.c_str())) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  content = text.str();
  return !in.bad();
}

}  // namespace MintuCli

int main(int argc, char** argv) {
  using namespace MintuCli;
  Mintu::MsgMan::DiagnosticLevel level = Mintu::MsgMan::DIAGNOSTIC_NORMAL;
  bool verbose = false;
  int first = 1;
  for (; first < argc && argv[first][0] == '-'; ++first) {
    const std::string option = argv[first];
    if (option == "--quiet" || option == "-q") {
      level = Mintu::MsgMan::DIAGNOSTIC_QUIET;
    } else if (option == "--verbose" || option == "-v") {
      level = Mintu::MsgMan::DIAGNOSTIC_FULL;
      verbose = true;
    } else if (option == "--help" || option == "-h") {
      PrintOverview(std::cout);
      return EXIT_OK;
    } else {
      std::cerr << "mintu: unknown option " << option << "\n";
      PrintOverview(std::cerr);
      return EXIT_USAGE;
    }
  }
  if (first >= argc) {
    PrintOverview(std::cerr);
    return EXIT_USAGE;
  }

  Mintu::MsgMan messages(level);
  Mintu::DebugMessengerFactory::SetLevelFromEnv();
  if (verbose) Mintu::DebugMessengerFactory::GetLogger()->SetLevel(Mintu::DebugMessenger::DEBUG_VERBOSE);
  UseSampleInstallationIfNeeded(argv[0]);

  const std::string name = argv[first];
  const std::vector<std::string> args(argv + first + 1, argv + argc);
  for (int i = 0; i < kCommandCount; ++i) {
    if (name != kCommands[i].name) continue;
    if (WantsHelp(args)) {
      std::cout << kCommands[i].usage;
      return EXIT_OK;
    }
    try {
      return kCommands[i].run(args);
    } catch (const UsageError& e) {
      std::cerr << "mintu " << name << ": " << e.what() << "\n\n" << kCommands[i].usage;
      return EXIT_USAGE;
    } catch (const std::exception& e) {
      ReportError(std::string("mintu ") + name + ": " + e.what());
      return EXIT_REPORTED_FAILURE;
    }
  }
  std::cerr << "mintu: unknown command " << name << "\n";
  PrintOverview(std::cerr);
  return EXIT_USAGE;
}
