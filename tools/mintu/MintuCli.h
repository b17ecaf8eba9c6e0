#ifndef MINTU_TOOLS_MINTUCLI_H
#define MINTU_TOOLS_MINTUCLI_H
// The mintu command: shared pieces of its subcommands.

#include <stdexcept>
#include <string>
#include <vector>

namespace MintuCli {

/// Exit statuses of every subcommand.
enum ExitStatus { EXIT_OK = 0, EXIT_REPORTED_FAILURE = 1, EXIT_USAGE = 2 };

/// A command line that does not fit the subcommand's usage.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

/// A subcommand: its arguments (after the subcommand's name) in, exit status out.
typedef int (*CommandFunction)(const std::vector<std::string>& args);

struct Command {
  const char* name;
  const char* summary;
  const char* usage;  // full help text, shown by "mintu <name> --help"
  CommandFunction run;
};

/// Issues the tool's own messages through the dispatcher, so the MsgMan of
/// the run shows them at its level. `text` is never used as a format.
void ReportError(const std::string& text);
void ReportWarning(const std::string& text);
void ReportStatus(const std::string& text);

/// True when `args` asks for help ("--help" or "-h" anywhere).
bool WantsHelp(const std::vector<std::string>& args);
/// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

// The subcommands.
int RunVersion(const std::vector<std::string>& args);
int RunChecksum(const std::vector<std::string>& args);
int RunStamp(const std::vector<std::string>& args);
int RunVerify(const std::vector<std::string>& args);
int RunFileList(const std::vector<std::string>& args);
int RunExpand(const std::vector<std::string>& args);
int RunFind(const std::vector<std::string>& args);
int RunJava(const std::vector<std::string>& args);
int RunRelease(const std::vector<std::string>& args);
int RunCoresLevel(const std::vector<std::string>& args);
int RunComponent(const std::vector<std::string>& args);
int RunDiff(const std::vector<std::string>& args);
int RunFormat(const std::vector<std::string>& args);

extern const Command kCommands[];
extern const int kCommandCount;

}  // namespace MintuCli

#endif  // MINTU_TOOLS_MINTUCLI_H
