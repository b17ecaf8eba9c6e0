#include "support/RunProgram.h"

#include <fstream>
#include <sstream>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

namespace MintuTest {

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

#ifdef _WIN32

namespace {

// One argument quoted so that the C runtime's parser gives it back as it is:
// backslashes are literal except before a quote, where they are doubled.
std::string Quoted(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

HANDLE Inheritable(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int RunProgram(const ProgramRun& run) {
  std::string line = Quoted(run.program);
  for (const std::string& arg : run.args) line += " " + Quoted(arg);
  // The child inherits this process's environment, changed here for the
  // time of the start and put back afterwards.
  std::vector<std::pair<std::string, std::string> > saved;
  std::vector<bool> wasSet;
  for (const auto& change : run.env) {
    char old[32767];
    const DWORD length = GetEnvironmentVariableA(change.first.c_str(), old, sizeof old);
    wasSet.push_back(length > 0 && length < sizeof old);
    saved.emplace_back(change.first, wasSet.back() ? std::string(old, length) : std::string());
    SetEnvironmentVariableA(change.first.c_str(), change.second);
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable(run.input, false);
  startup.hStdOutput = Inheritable(run.output, true);
  startup.hStdError = Inheritable(run.errors, true);
  PROCESS_INFORMATION process = {};
  const bool started = startup.hStdInput != INVALID_HANDLE_VALUE &&
                       startup.hStdOutput != INVALID_HANDLE_VALUE &&
                       startup.hStdError != INVALID_HANDLE_VALUE &&
                       CreateProcessA(run.program.c_str(), &line[0], nullptr, nullptr, TRUE, 0,
                                      nullptr, run.directory.c_str(), &startup, &process);
  for (std::size_t i = 0; i < saved.size(); ++i) {
    SetEnvironmentVariableA(saved[i].first.c_str(), wasSet[i] ? saved[i].second.c_str() : nullptr);
  }
  for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  if (!started) return -1;
  DWORD status = 0;
  WaitForSingleObject(process.hProcess, INFINITE);
  const bool exited = GetExitCodeProcess(process.hProcess, &status) != 0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exited ? static_cast<int>(status) : -1;
}

#else

int RunProgram(const ProgramRun& run) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(run.program.c_str()));
  for (const std::string& arg : run.args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    // Only calls that are safe between fork and exec; failures end the child
    // with a status no test expects.
    const int in = open(run.input.c_str(), O_RDONLY);
    const int out = open(run.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(run.errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(run.directory.c_str()) != 0) {
      _exit(127);
    }
    for (const auto& change : run.env) {
      if (change.second != nullptr) {
        setenv(change.first.c_str(), change.second, 1);
      } else {
        unsetenv(change.first.c_str());
      }
    }
    execv(run.program.c_str(), argv.data());
    _exit(127);
  }
  int raw = 0;
  while (waitpid(child, &raw, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace MintuTest
