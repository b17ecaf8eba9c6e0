// The mintu command, run as a user runs it: a separate process (started
// without a shell, also on Windows), its output and its exit status.

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "port/Port_Env.h"
#include "support/TempInstallTree.h"

namespace {

#ifdef _WIN32
const char* const READ_DIRECTORY = "cannot read io: ";  // Windows gives no reason of its own
const std::string SEP = "\\";
#else
const char* const READ_DIRECTORY = "cannot read io: Is a directory";
const std::string SEP = "/";
#endif
const std::string kTool = std::filesystem::absolute(MINTU_TOOL_PATH).string();
const std::string kComponent = "component --vendor orvane.com --library ip --name n --version 1.0";

// Runs `argv` (the program first) in the current directory and environment,
// its standard streams from and to these files. The exit status, or -1.
int Spawn(const std::vector<std::string>& argv, const std::string& in, const std::string& out) {
  const char* paths[] = {in.c_str(), out.c_str(), "io/stderr"};
#ifdef _WIN32
  std::string line;  // no argument of these tests holds a quote or ends in a backslash
  for (const std::string& arg : argv) line += "\"" + arg + "\" ";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  HANDLE* files[] = {&startup.hStdInput, &startup.hStdOutput, &startup.hStdError};
  for (int i = 0; i < 3; ++i) {
    *files[i] =
        CreateFileA(paths[i], i ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, i ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  PROCESS_INFORMATION process = {};
  DWORD status = static_cast<DWORD>(-1);
  if (CreateProcessA(argv[0].c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (HANDLE* file : files) CloseHandle(*file);
  return static_cast<int>(status);
#else
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  for (int fd = 0; fd < 3; ++fd) {
    posix_spawn_file_actions_addopen(&files, fd, paths[fd], fd ? O_WRONLY | O_CREAT | O_TRUNC : 0,
                                     0644);
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t child = 0;
  int raw = 0;
  const bool ran = posix_spawnp(&child, args[0], &files, nullptr, args.data(), environ) == 0 &&
                   waitpid(child, &raw, 0) == child;
  posix_spawn_file_actions_destroy(&files);
  return ran && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
}

// A whole file, read as a program's output is read: on Windows CR LF is LF.
std::string Read(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct Result {
  int status;
  std::string out, err;
};

class MintuTool : public ::testing::Test {
 protected:
  MintuTool() {
    std::filesystem::current_path(tree.base());
    tree.SetEnv("ORVANE", roots.c_str());
    tree.SetEnv("ORV_MN_API_DEBUG", nullptr);
  }
  // mintu with the words of `line`, `input` on stdin. POSIX only: `shell`
  // runs first in the shell that then becomes mintu; `out` replaces the file
  // of the standard output.
  Result Run(const std::string& line, const std::string& input = "", const std::string& shell = "",
             const std::string& out = "") {
    std::vector<std::string> argv = {kTool};
    std::istringstream words(line);
    for (std::string word; words >> word;) argv.push_back(word);
    if (!shell.empty()) argv.insert(argv.begin(), {"/bin/sh", "-c", shell + " exec \"$0\" \"$@\""});
    const int status =
        Spawn(argv, tree.WriteFile("io/stdin", input), out.empty() ? "io/stdout" : out);
    return {status, out.empty() ? Read("io/stdout") : "", Read("io/stderr")};
  }
  // Whether xmllint finds `file` valid against the SPIRIT 1.4 schema.
  static bool Valid(const std::string& file) {
    const std::string xsd = std::string(MINTU_SPIRIT_SCHEMA_DIR) + "/index.xsd";
    return Spawn({"xmllint", "--noout", "--schema", xsd, file}, file, "io/lint") == 0;
  }

  MintuTest::TempInstallTree tree;
  const std::string roots =
      tree.MakeDir("root1") + Port_Env::GetPathListSeparator() + tree.MakeDir("root2");
};

TEST_F(MintuTool, CommandsAnswer) {
  // Each file's name, a blank and its content.
  std::istringstream files(
      "lists/files.lst # sources\na.v  # first\n\n sub//b.v\ngone.v\n|lists/a.v |lists/sub/b.v "
      "|root2/data/file.txt x|root2/shared.txt second|root2/IPupdate.log updated\ncores_level=12\n"
      "|root2/mintaro/ip/orvane/cores_lib/my_core/core.xml |attr.xml <a x='1'><b y='2'/></a>"
      "|attr2.xml <a x='1'><b y='3'/></a>|bad.xml <a>\n<b></a>|core.vhd linked\n|plain.txt p\n"
      "|changed.vhd linked\n# CRC: 97f8e5ec\nsignal s : bit;\n|c.xml x\n<!-- # CRC: 00000000 -->\n"
      "|comment.vhd linked\n# CRC: 97f8e5ec\n-- # another comment\n");
  for (std::string file; std::getline(files, file, '|');) {
    tree.WriteFile(file.substr(0, file.find(' ')), file.substr(file.find(' ') + 1));
  }
  tree.MakeDir("root1/shared.txt");
  const std::string fifo = kComponent + " --port dout:out:7:0 --port clk:in --port din:in:";
  ASSERT_EQ(
      0, Run(kComponent + " --port clk:in --port din:in:7:0 --port dout:out:7:0 -o a.xml").status);
  ASSERT_EQ(0, Run(fifo + "7:0 -o reordered.xml").status);
  ASSERT_EQ(0, Run(fifo + "15:0 -o wider.xml").status);
  const std::string written = Read("a.xml");
  const std::string core = tree.Path("root2/mintaro/ip/orvane/cores_lib/my_core/core.xml") + "\n";
  const std::string missing = "cannot read missing.txt: No such file or directory";
  // `out` is the whole standard output, or after a '*' a part of it; `err` is
  // a part of the standard error, which is empty when `err` is, or "*".
  const struct {
    std::string line, input;
    int status;
    std::string out, err;
  } rows[] = {
      {"--help", "", 0, "*cores-level", ""},
      {"stamp --help", "", 0, "*Usage: mintu stamp FILE...", ""},
      {"-V", "", 0, "*installed release: 14.2", ""},
      // 2 for a malformed command line only; 1 for a well-formed request that fails.
      {"", "", 2, "", "*"},
      {"frobnicate", "", 2, "", "*"},
      {"--loud version", "", 2, "", "*"},
      {"version compare 1.0", "", 2, "", "*"},
      {"java extra", "", 2, "", "*"},
      {kComponent + " --vendor w", "", 2, "", "*"},
      {kComponent + " --port d:in:7", "", 1, "", "*"},
      {"version normalize v3_1 V1_00_A 3_01", "", 0, "3.1\n1.00.a\n3.1\n", ""},
      {"version normalize 3.1 x3.1", "", 1, "3.1\n", "ERROR: not a core version: x3.1"},
      {"version compare 1.5 1.05.b", "", 0, "<\n", ""},
      {"-q version -- sort -", "2.0\n1.00.b\nabc\n1.0\n\n1.00.a\n", 0,
       "abc\n1.0\n1.00.a\n1.00.b\n2.0\n", ""},
      {"checksum core.vhd", "", 0, "97f8e5ec\n", ""},
      {"checksum -", "linked\n", 0, "97f8e5ec\n", ""},
      {"stamp core.vhd c.xml", "", 0, "*", ""},
      {"stamp core.vhd", "", 0, "*", ""},  // the stamp line replaced, not added
      // A changed data line fails; a changed comment does not.
      {"verify core.vhd changed.vhd comment.vhd plain.txt missing.txt", "", 1,
       "core.vhd: OK\nchanged.vhd: CHANGED (checksum does not match its stamp)\ncomment.vhd: OK\n"
       "plain.txt: OK (no stamp)\nmissing.txt: unreadable\n",
       "ERROR: " + missing},
      {"verify -", "linked\n# CRC: 97f8e5ec\n", 0, "-: OK\n", ""},
      // One wording for the same failure in every command.
      {"checksum missing.txt", "", 1, "", missing},
      {"stamp missing.txt", "", 1, "*", missing},
      {"filelist missing.txt", "", 1, "", missing},
      {"checksum io", "", 1, "", READ_DIRECTORY},
      {"stamp io", "", 1, "*", READ_DIRECTORY},
      {"filelist lists/files.lst", "", 0, "a.v\nsub" + SEP + "b.v\n",
       "WARNING: Missing file list member"},
      {"filelist --full " + tree.Path("lists/files.lst"), "", 0,
       tree.Path("lists/a.v") + "\n" + tree.Path("lists/sub/b.v") + "\n", "WARNING"},
      {"filelist -", "lists/a.v\nio\nnone.v\n", 0, "lists" + SEP + "a.v\nio\n", "WARNING"},
      {"expand ${ORVANE}/data/file.txt a${MINTU_TEST_UNSET_NAME}b", "", 0,
       tree.Path("root2/data/file.txt") + "\nab\n", ""},
      {"find shared.txt", "", 0, tree.Path("root1/shared.txt") + "\n", ""},
      // Global options anywhere, options as --name or -x, "--" before operands.
      {"--verbose find my_core/core.xml --container", "", 0, core, "*"},
      {"find -c --quiet -- my_core/core.xml", "", 0, core, ""},
      {"find nothing.txt", "", 1, "", "ERROR: not found under the install roots: nothing.txt"},
      {"cores-level", "", 0, "Cores Update # 12\n", ""},
      // Values that would make the XML invalid are refused.
      {kComponent + " --port a\xc2\xa0:in", "", 1, "", "--port: 'a\xc2\xa0' holds U+00A0"},
      {kComponent + " --description caf\xe9", "", 1, "", "the value is not UTF-8 (byte 4)"},
      {kComponent + " --port a:in --port a:out", "", 1, "", "--port: port 'a' is given twice"},
      {kComponent + " --port c:sideways", "", 1, "", "direction of port c 'sideways' is not one"},
      {"diff a.xml reordered.xml", "", 0, "", ""},
      {"diff a.xml wider.xml", "", 1,
       "*ports/spirit:port[3]/spirit:wire/spirit:vector/spirit:left\ndifferent text: \"7\" in "
       "a.xml, \"15\" in wider.xml\n",
       ""},
      {"diff attr.xml attr2.xml", "", 1,
       "*different attributes: y is \"2\" in attr.xml, \"3\" in attr2.xml\n", ""},
      {"diff --quiet a.xml wider.xml", "", 1, "", ""},
      {"diff a.xml bad.xml", "", 2, "", "Cannot read bad.xml: line 2, column 6: Start-end tags"},
      // What mintu component wrote comes back byte for byte.
      {"format a.xml", "", 0, written, ""},
      {"format -", written, 0, written, ""},
      {"format --sort -", "<r><b>2</b><a/><b>1</b></r>", 0,
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\n  <a/>\n  <b>1</b>\n  <b>2</b>\n</r>\n",
       ""},
      {"format -", "<r>text<a/></r>", 1, "", "line 1, column 4: Mixed content"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const Result r = Run(row.line, row.input);
    EXPECT_EQ(row.status, r.status);
    EXPECT_TRUE(row.out[0] == '*' ? Has(r.out, row.out.substr(1)) : row.out == r.out) << r.out;
    EXPECT_TRUE(row.err == "*" || (row.err.empty() ? r.err.empty() : Has(r.err, row.err))) << r.err;
  }
  EXPECT_EQ("linked\n# CRC: 97f8e5ec\n", Read("core.vhd"));
  EXPECT_EQ("x\n<!-- # CRC: 8cdc1683 -->\n", Read("c.xml"));
  tree.SetEnv("ORVANE", nullptr);  // without it, the sample installation answers
  EXPECT_EQ("Cores Update # ", Run("cores-level").out.substr(0, 15));
}

// Rewriting a file keeps everything of it but the new content, refuses what
// it cannot do safely, and leaves the old content when a write fails.
TEST_F(MintuTool, FilesAreNeverDamaged) {
#ifdef _WIN32
  GTEST_SKIP() << "needs POSIX modes, links, /dev/full, a POSIX shell and ulimit";
#else
  const auto Attributes = [](const char* path) {  // mode, owner and group
    struct stat status = {};
    ::stat(path, &status);
    return std::to_string(status.st_mode & 07777) + " " + std::to_string(status.st_uid) + ":" +
           std::to_string(status.st_gid);
  };
  ::chmod(tree.WriteFile("secret.txt", "data\n").c_str(), 0600);
  ::chmod(tree.WriteFile("run.sh", "#!/bin/sh\n").c_str(), 0755);
  tree.WriteFile("target.txt", "linked\n");
  // Another owner, where we may give one.
  ASSERT_TRUE(::symlink("target.txt", "link.txt") == 0 &&
              (::geteuid() != 0 || ::chown("run.sh", 1234, 5678) == 0));
  const std::string before = Attributes("secret.txt") + Attributes("run.sh");
  ASSERT_EQ(0, Run("stamp secret.txt run.sh link.txt").status);
  EXPECT_EQ(before, Attributes("secret.txt") + Attributes("run.sh"));
  EXPECT_EQ("linked\n# CRC: 97f8e5ec\n", Read("target.txt"));
  EXPECT_TRUE(std::filesystem::is_symlink("link.txt"));

  ::chmod(tree.WriteFile("ro.txt", "data\n").c_str(), 0444);
  ::chmod(tree.WriteFile("ro.xml", "").c_str(), 0444);
  ASSERT_EQ(0, ::link(tree.WriteFile("one.txt", "data\n").c_str(), "two.txt"));
  tree.WriteFile("note.txt", "data\nsee # CRC: notes below\n");
  tree.WriteFile("root1/shared.txt", "");
  const std::string readOnly = Attributes("ro.txt");
  const struct {
    std::string line, shell, out, message;
  } rows[] = {
      {"stamp ro.txt secret.txt", "", "", "cannot write ro.txt: Permission denied"},
      {"stamp one.txt secret.txt", "", "", "one.txt: it has 2 hard links"},
      {"stamp note.txt secret.txt", "", "", "note.txt: line 2 holds \"# CRC:\""},
      {"version sort 1.0 2.0", "", "/dev/full", "write standard output: No space left on device"},
      {kComponent, "", "/dev/full", "cannot write standard output: No space left on device"},
      {"find shared.txt", "exec >&-;", "", "cannot write standard output: Bad file descriptor"},
      {kComponent + " -o /dev/full", "", "", "cannot write /dev/full: No space left on device"},
      {kComponent + " -o none/x.xml", "", "", "write none/x.xml: No such file or directory"},
      {kComponent + " -o ro.xml", "", "", "cannot write ro.xml: Permission denied"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const bool stamp = row.line[0] == 's';
    const std::string file = stamp ? row.line.substr(6, row.line.find(' ', 6) - 6) : "ro.xml";
    const std::string old = Read(file);
    const Result r = Run(row.line, "", row.shell, row.out);
    EXPECT_TRUE(r.status == 1 && Has(r.err, "ERROR: ") && Has(r.err, row.message)) << r.err;
    EXPECT_EQ(old, Read(file));
    EXPECT_TRUE(!stamp || Has(r.out, "secret.txt: stamped"));
  }
  EXPECT_EQ(readOnly, Attributes("ro.txt"));
  // A file size limit stops the write half way: killed, or told (signal ignored).
  tree.WriteFile("out.xml", "old\n");
  for (const char* shell : {"ulimit -f 1;", "trap '' XFSZ; ulimit -f 1;"}) {
    const Result r =
        Run(kComponent + " -o out.xml --description " + std::string(4096, 'd'), "", shell);
    EXPECT_TRUE(r.status != 0 && Read("out.xml") == "old\n") << shell;
    EXPECT_TRUE(shell[0] != 't' || Has(r.err, "cannot write out.xml: File too large")) << r.err;
  }
#endif
}

TEST_F(MintuTool, OutputsValidateAgainstTheSchema) {
  if (std::string(MINTU_SPIRIT_SCHEMA_DIR).empty()) GTEST_SKIP() << "no SPIRIT 1.4 schema folder";
  ASSERT_EQ(0, Run(kComponent + " -o minimal.xml").status);
  EXPECT_TRUE(Valid("minimal.xml"));
  // Stamped inside a comment: still valid, and it verifies.
  ASSERT_EQ(0, Run("stamp minimal.xml").status);
  EXPECT_TRUE(Has(Read("minimal.xml"), "<!-- # CRC: "));
  EXPECT_EQ(0, Run("verify minimal.xml").status);
  EXPECT_TRUE(Valid("minimal.xml"));
  // Non-ASCII name characters, options written both ways, escaped texts.
  tree.WriteFile("description.txt", "A <small> & \"simple\" FIFO\tfor caf\xc3\xa9s\n");
  const Result r =
      Run("component --vendor=\xc3\xa9t\xc3\xa9.org --library ip --name=fi\xc2\xb7"
          "fo --version 3.1 --description-file description.txt -o - --param C_WIDTH:long:user=16 "
          "--param C_NAME=a<b --param=C_FLAG:bool=true --port clk:in --port d:out:7:0");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_TRUE(Valid(tree.WriteFile("fifo.xml", r.out)));
  EXPECT_TRUE(Has(r.out, "spirit:format=\"long\">16</spirit:value>") && Has(r.out, ">a&lt;b<"));
  EXPECT_TRUE(Has(r.out, "&lt;small&gt; &amp; &quot;simple&quot; FIFO\tfor caf\xc3\xa9s</spirit:"));
  // mintu format keeps valid documents valid: these and the schema's examples.
  std::vector<std::string> inputs = {"minimal.xml", "fifo.xml"};
  const std::filesystem::path examples = std::string(MINTU_SPIRIT_SCHEMA_DIR) + "/examples";
  for (const auto& entry : std::filesystem::directory_iterator(examples)) {
    if (entry.path().extension() == ".xml") inputs.push_back(entry.path().string());
  }
  for (const std::string& input : inputs) {
    const Result formatted = Run("format " + input);
    ASSERT_EQ(0, formatted.status) << input << formatted.err;
    EXPECT_TRUE(!Valid(input) || Valid(tree.WriteFile("formatted.xml", formatted.out))) << input;
  }
}

}  // namespace
