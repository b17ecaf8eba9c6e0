#ifndef MINTU_TOOLS_MINTUCLI_H
#define MINTU_TOOLS_MINTUCLI_H
// The mintu command: what every subcommand shares. A subcommand declares its
// options in the command table (MintuCommands.cpp); the parser hands it an
// Arguments with the options and operands, and main() turns its exceptions
// into exit statuses and checks that the standard output was written.

#include <stdexcept>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "mintu/Mintu_XmlElement.h"
#include "port/Port_Msg.h"

namespace MintuCli {

/// Exit statuses of every subcommand.
enum ExitStatus { EXIT_OK = 0, EXIT_REPORTED_FAILURE = 1, EXIT_USAGE = 2 };

/// A malformed command line (unknown option, missing value): exit status 2.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

/// A well-formed request that cannot be done (a bad value, an unreadable
/// file): reported as an error, exit status 1.
class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& what) : std::runtime_error(what) {}
};

/// An option a subcommand accepts: "--name VALUE", "--name=VALUE", or a flag.
struct OptionSpec {
  const char* name;  // long name without "--"
  char letter;       // short form "-x", or 0
  bool takesValue;
};

/// A parsed command line: options in the order given (the long name and the
/// value) and the operands. "--" ends the options; "-" is an operand.
class Arguments {
 public:
  struct Option {
    std::string name;
    std::string value;
  };
  /// Throws UsageError for an unknown option or a missing value. The global
  /// options (--quiet, --verbose, --help) are accepted anywhere.
  Arguments(const std::vector<std::string>& words, const std::vector<OptionSpec>& accepted);

  bool Has(const std::string& name) const;
  /// The value of an option given at most once; `fallback` when absent.
  /// Throws UsageError when the option is given twice.
  std::string Single(const std::string& name, const std::string& fallback = "") const;

  std::vector<Option> options;
  std::vector<std::string> operands;
  bool quiet = false;
  bool verbose = false;
  bool help = false;
};

/// A subcommand: its parsed arguments in, exit status out.
typedef int (*CommandFunction)(const Arguments& args);

struct Command {
  const char* name;
  const char* summary;
  const char* usage;  // full help text, shown by "mintu <name> --help"
  std::vector<OptionSpec> options;
  CommandFunction run;
};

extern const std::vector<Command> kCommands;

/// Issues a message through the dispatcher, tagged with the caller's file
/// and line; `text` is never used as a format. Use the macros below.
void Report(int type, const char* file, int line, const std::string& text);
#define MINTU_CLI_ERROR(text) ::MintuCli::Report(PORT_MSG_ERROR, __FILE__, __LINE__, (text))
#define MINTU_CLI_WARNING(text) ::MintuCli::Report(PORT_MSG_WARNING, __FILE__, __LINE__, (text))
#define MINTU_CLI_STATUS(text) ::MintuCli::Report(PORT_MSG_STATUS, __FILE__, __LINE__, (text))
/// With --verbose, reported messages also tell the tool's file and line.
void ShowReportOrigin(bool show);

/// One wording for file failures: "cannot read FILE: <the system's reason>".
std::string CannotRead(const std::string& file, int error);
std::string CannotWrite(const std::string& file, int error);

/// Marks the standard input as read; throws UsageError when it already was.
void ClaimStandardInput();
/// The whole content of FILE, or of the standard input for "-"; false when
/// it cannot be read, with `error` the system's error number.
bool ReadInput(const std::string& file, std::string& content, int& error);
/// ReadInput that throws Failure (CannotRead) instead.
std::string ReadInputOrFail(const std::string& file);
/// Writes `content` to the standard output ("" or "-") or replaces FILE with
/// it whole (a failure leaves no partial file). Throws Failure.
void WriteOutput(const std::string& file, const std::string& content);
/// Text for the standard output; main() reports a failed write.
void Print(const std::string& text);

// The subcommands.
int RunVersion(const Arguments& args);
int RunChecksum(const Arguments& args);
int RunStamp(const Arguments& args);
int RunVerify(const Arguments& args);
int RunFileList(const Arguments& args);
int RunExpand(const Arguments& args);
int RunFind(const Arguments& args);
int RunJava(const Arguments& args);
int RunRelease(const Arguments& args);
int RunCoresLevel(const Arguments& args);
int RunComponent(const Arguments& args);
int RunDiff(const Arguments& args);
int RunFormat(const Arguments& args);

/// The XML tree of FILE (or of the standard input for "-"). Throws Failure
/// when it cannot be read and AppException when it is not well-formed.
boost::shared_ptr<Mintu::XmlElement> ReadXml(const std::string& file);

}  // namespace MintuCli

#endif  // MINTU_TOOLS_MINTUCLI_H
