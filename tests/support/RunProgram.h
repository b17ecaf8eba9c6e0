#ifndef MINTU_TESTS_RUNPROGRAM_H
#define MINTU_TESTS_RUNPROGRAM_H
// Runs a program as a separate process, as a user would from a shell, on
// every platform: its own working directory, a changed environment, and its
// standard streams redirected to files. No shell is involved.

#include <string>
#include <utility>
#include <vector>

namespace MintuTest {

struct ProgramRun {
  std::string program;                ///< path of the program
  std::vector<std::string> args;      ///< arguments after the program's name
  std::string directory;              ///< working directory of the process
  std::string input, output, errors;  ///< files of its standard streams
  /// Environment changes: a variable set to the text, or removed when null.
  std::vector<std::pair<std::string, const char*> > env;
};

/// What a run gave: its exit status and its two output streams.
struct ProgramResult {
  int status;
  std::string out;
  std::string err;
};

/// `text` as one word of a POSIX shell's command line.
std::string ShellQuoted(const std::string& text);

/// The exit status of the program, or -1 when it could not be started or did
/// not end by exiting.
int RunProgram(const ProgramRun& run);

/// A whole file read in text mode, as a program's output is read: on Windows
/// each CR LF becomes LF.
std::string ReadText(const std::string& path);

}  // namespace MintuTest

#endif  // MINTU_TESTS_RUNPROGRAM_H
