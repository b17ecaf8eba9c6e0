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

const auto Read = MintuTest::TempInstallTree::ReadFile;
#ifdef _WIN32
const char* const JAVA = "root2/java/nt64/jre/bin/java.exe";
const char* const READ_DIRECTORY = "cannot read io: ";  // Windows gives no reason of its own
const std::string SEP = "\\";
#else
const char* const JAVA = "root2/java/lin64/jre/bin/java";
const char* const READ_DIRECTORY = "cannot read io: Is a directory";
const std::string SEP = "/";
mode_t ModeOf(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}
#endif
const std::string kTool = std::filesystem::absolute(MINTU_TOOL_PATH).string();
const std::string kComponent = "component --vendor orvane.com --library ip --name n --version 1.0";

// Runs `argv` (the program first) in the current directory and environment,
// its standard streams from and to these files. The exit status, or -1.
int Spawn(const std::vector<std::string>& argv, const std::string& in, const std::string& out) {
#ifdef _WIN32
  std::string line;  // no argument of these tests holds a quote or ends in a backslash
  for (const std::string& arg : argv) line += "\"" + arg + "\" ";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE files[3];
  const char* paths[] = {in.c_str(), out.c_str(), "io/stderr"};
  for (int i = 0; i < 3; ++i) {
    files[i] =
        CreateFileA(paths[i], i ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, i ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = files[0];
  startup.hStdOutput = files[1];
  startup.hStdError = files[2];
  PROCESS_INFORMATION process = {};
  DWORD status = static_cast<DWORD>(-1);
  if (CreateProcessA(argv[0].c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (HANDLE file : files) CloseHandle(file);
  return static_cast<int>(status);
#else
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, 2, "io/stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
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

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(MintuTool, HelpVersionAndUsageErrors) {
  const Result overview = Run("--help");
  EXPECT_EQ(0, overview.status);
  for (const std::string command :
       {"version", "checksum", "stamp", "verify", "filelist", "expand", "find", "java", "release",
        "cores-level", "component", "diff", "format"}) {
    const Result help = Run(command + " --help");
    EXPECT_TRUE(help.status == 0 && Has(overview.out, command) &&
                Has(help.out, "Usage: mintu " + command))
        << command;
  }
  EXPECT_TRUE(Has(Run("stamp --help").out, "several hard links"));
  const std::string version = Run("-V").out;
  EXPECT_TRUE(Has(version, "mintu 1.") && Has(version, "libMintu_Utilities") &&
              Has(version, "installed release: 14.2"))
      << version;
  // 2 for a malformed command line only; 1 for a well-formed request that fails.
  std::istringstream lines(
      "2|2 frobnicate|2 --loud version|2 version|2 version compare 1.0|2 checksum|2 java extra|"
      "2 component --vendor|2 filelist --bogus x|2 find --container=yes x|2 diff a.xml|"
      "2 diff --bogus a b|2 format|2 " +
      kComponent + " --vendor w|1 " + kComponent + " --port d:in:7|1 " + kComponent +
      " --param noequals|1 checksum missing.txt");
  for (std::string line; std::getline(lines, line, '|');) {
    EXPECT_EQ(line[0] - '0', Run(line.substr(1)).status) << line;
  }
}

TEST_F(MintuTool, CommandsAnswer) {
  tree.WriteFile("lists/a.v", "");
  tree.WriteFile("lists/sub/b.v", "");
  tree.WriteFile("lists/files.lst", "# sources\na.v  # first\n\n sub//b.v\ngone.v\n");
  tree.WriteFile("root2/data/file.txt", "x");
  tree.WriteFile("root2/shared.txt", "second");
  tree.MakeDir("root1/shared.txt");
  tree.WriteFile("root2/mintaro/ip/orvane/cores_lib/my_core/core.xml", "");
  EXPECT_EQ(1, Run("java").status);
  EXPECT_EQ(1, Run("cores-level").status);
  tree.WriteFile(JAVA, "#!/bin/sh\n");
  tree.WriteFile("root2/IPupdate.log", "updated\ncores_level=12\n");
  for (const char* ports :
       {"a.xml clk:in din:in:7:0 dout:out:7:0", "reordered.xml dout:out:7:0 clk:in din:in:7:0",
        "wider.xml dout:out:7:0 clk:in din:in:15:0",
        "more.xml clk:in din:in:7:0 dout:out:7:0 rst:in"}) {
    std::istringstream in(ports);
    std::string line = kComponent + " -o ", word;
    for (in >> word, line += word; in >> word;) line += " --port " + word;
    ASSERT_EQ(0, Run(line).status);
  }
  const std::string written = Read("a.xml");
  tree.WriteFile("attr.xml", "<a x='1'><b y='2'/></a>");
  tree.WriteFile("attr2.xml", "<a x='1'><b y='3'/></a>");
  tree.WriteFile("bad.xml", "<a>\n<b></a>");
  const std::string core = tree.Path("root2/mintaro/ip/orvane/cores_lib/my_core/core.xml") + "\n";
  const std::string versions = "2.0\n1.00.b\nabc\n1.0\n\n1.00.a\n";
  const std::string sorted = "abc\n1.0\n1.00.a\n1.00.b\n2.0\n";
  const std::string ports = "spirit:component/spirit:model/spirit:ports";
  const std::string left = "]/spirit:wire/spirit:vector/spirit:left\n";
  // `out` is the whole standard output, or after a '*' a part of it; `err` is
  // a part of the standard error, which is empty when `err` is, or "*".
  const struct {
    std::string line, input;
    int status;
    std::string out, err;
  } rows[] = {
      {"version normalize v3_1 V1_00_A 3_01", "", 0, "3.1\n1.00.a\n3.1\n", ""},
      {"version underscore 3.1 1.00.a abc", "", 0, "_v3_1\n_v1_00_a\n_abc\n", ""},
      {"version normalize 3.1 x3.1", "", 1, "3.1\n", "ERROR: not a core version: x3.1"},
      {"version compare 1.5 1.05.b", "", 0, "<\n", ""},
      {"version compare v3_1 3.01", "", 0, "=\n", ""},
      {"version compare 10.1 9.99.z", "", 0, ">\n", ""},
      {"version sort", versions, 0, sorted, ""},
      {"-q version -- sort -", versions, 0, sorted, ""},
      {"filelist lists/files.lst", "", 0, "a.v\nsub" + SEP + "b.v\n",
       "WARNING: Missing file list member"},
      {"filelist --full " + tree.Path("lists/files.lst"), "", 0,
       tree.Path("lists/a.v") + "\n" + tree.Path("lists/sub/b.v") + "\n", "WARNING"},
      {"filelist -", "lists/a.v\nio\nnone.v\n", 0, "lists" + SEP + "a.v\nio\n", "WARNING"},
      {"expand ${ORVANE}/data/file.txt a${MINTU_TEST_UNSET_NAME}b", "", 0,
       tree.Path("root2/data/file.txt") + "\nab\n", ""},
      {"expand ${ORVANE}/data/none.txt", "", 1, "", "ERROR: not found under the install roots"},
      {"find shared.txt", "", 0, tree.Path("root1/shared.txt") + "\n", ""},
      // Global options anywhere, options as --name or -x, "--" before operands.
      {"find --container my_core/core.xml", "", 0, core, ""},
      {"find -c --quiet my_core/core.xml", "", 0, core, ""},
      {"--verbose find my_core/core.xml -c", "", 0, core, "*"},
      {"find -c -- my_core/core.xml", "", 0, core, ""},
      {"find nothing.txt", "", 1, "", "ERROR: not found under the install roots: nothing.txt"},
      {"find nothing.txt --quiet", "", 1, "", ""},
      {"java", "", 0, tree.Path(JAVA) + "\n", ""},
      {"release", "", 0, "*next major release: 15.1", ""},
      {"cores-level", "", 0, "Cores Update # 12\n", ""},
      {"diff a.xml reordered.xml", "", 0, "", ""},
      {"diff a.xml wider.xml", "", 1,
       "a.xml: " + ports + "/spirit:port[2" + left + "wider.xml: " + ports + "/spirit:port[3" +
           left + "different text: \"7\" in a.xml, \"15\" in wider.xml\n",
       ""},
      {"diff a.xml more.xml", "", 1,
       "a.xml: " + ports + "\nmore.xml: " + ports +
           "\nmissing member: spirit:port[4] is only in more.xml\n",
       ""},
      {"diff attr.xml attr2.xml", "", 1,
       "attr.xml: a/b\nattr2.xml: a/b\ndifferent attributes: y is \"2\" in attr.xml, \"3\" in "
       "attr2.xml\n",
       ""},
      {"diff --quiet a.xml wider.xml", "", 1, "", ""},
      {"diff a.xml bad.xml", "", 2, "",
       "Cannot read bad.xml: line 2, column 6: Start-end tags mismatch"},
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
    if (row.out[0] == '*') {
      EXPECT_TRUE(Has(r.out, row.out.substr(1))) << r.out;
    } else {
      EXPECT_EQ(row.out, r.out);
    }
    EXPECT_TRUE(row.err == "*" || (row.err.empty() ? r.err.empty() : Has(r.err, row.err))) << r.err;
  }
  // Without ORVANE the sample installation answers.
  tree.SetEnv("ORVANE", nullptr);
  for (const std::string command : {"java", "cores-level", "release"}) {
    const Result r = Run(command);
    EXPECT_TRUE(r.status == 0 && !r.out.empty()) << command << r.err;
  }
}

TEST_F(MintuTool, StampThenVerify) {
  tree.WriteFile("core.vhd", "linked\n");
  EXPECT_EQ("97f8e5ec\n", Run("checksum core.vhd").out);
  EXPECT_EQ("97f8e5ec\n", Run("checksum -", "linked\n").out);
  ASSERT_EQ(0, Run("stamp core.vhd").status);
  const std::string stamped = Read("core.vhd");
  EXPECT_EQ("linked\n# CRC: 97f8e5ec\n", stamped);
  ASSERT_EQ(0, Run("stamp core.vhd").status);  // the stamp line replaced, not added
  EXPECT_EQ(stamped, Read("core.vhd"));
  EXPECT_EQ("core.vhd: OK\n", Run("verify core.vhd").out);
  EXPECT_EQ("-: OK\n", Run("verify -", stamped).out);
  tree.WriteFile("c.xml", "x\n<!-- # CRC: 00000000 -->\n");
  ASSERT_EQ(0, Run("stamp c.xml").status);
  EXPECT_EQ("x\n<!-- # CRC: 8cdc1683 -->\n", Read("c.xml"));
  // A changed data line fails; a changed comment does not.
  tree.WriteFile("changed.vhd", stamped + "signal s : bit;\n");
  tree.WriteFile("comment.vhd", stamped + "-- # another comment\n");
  tree.WriteFile("plain.txt", "no stamp here\n");
  Result r = Run("verify changed.vhd comment.vhd plain.txt missing.txt");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(
      "changed.vhd: CHANGED (checksum does not match its stamp)\ncomment.vhd: OK\n"
      "plain.txt: OK (no stamp)\nmissing.txt: unreadable\n",
      r.out);
  EXPECT_EQ("ERROR: cannot read missing.txt: No such file or directory\n", r.err);
  // One wording for the same failure in every command.
  for (const std::string command : {"checksum", "stamp", "verify", "filelist"}) {
    r = Run(command + " missing.txt");
    EXPECT_TRUE(r.status == 1 && Has(r.err, "cannot read missing.txt: No such file or directory"))
        << r.err;
    EXPECT_TRUE(Has(Run(command + " io").err, READ_DIRECTORY)) << command;
  }
}

// Rewriting a file keeps everything of it but the new content, refuses what
// it cannot do safely, and leaves the old content when a write fails.
TEST_F(MintuTool, FilesAreNeverDamaged) {
#ifdef _WIN32
  GTEST_SKIP() << "needs POSIX modes, links, /dev/full, a POSIX shell and ulimit";
#else
  tree.WriteFile("secret.txt", "data\n");
  tree.WriteFile("run.sh", "#!/bin/sh\necho\n");
  tree.WriteFile("target.txt", "linked\n");
  ::chmod("secret.txt", 0600);
  ::chmod("run.sh", 0755);
  ASSERT_EQ(0, ::symlink("target.txt", "link.txt"));
  ASSERT_EQ(0, Run("stamp secret.txt run.sh link.txt").status);
  EXPECT_EQ(0600u, ModeOf("secret.txt"));
  EXPECT_EQ(0755u, ModeOf("run.sh"));
  EXPECT_EQ("linked\n# CRC: 97f8e5ec\n", Read("target.txt"));
  char link[64] = {};
  EXPECT_EQ(10, ::readlink("link.txt", link, sizeof link));

  ::chmod(tree.WriteFile("ro.txt", "data\n").c_str(), 0444);
  ::chmod(tree.WriteFile("ro.xml", "").c_str(), 0444);
  tree.WriteFile("one.txt", "data\n");
  ASSERT_EQ(0, ::link("one.txt", "two.txt"));
  tree.WriteFile("note.txt", "data\nsee # CRC: notes below\n");
  tree.WriteFile("short.txt", "# CRC: 1234\n");
  tree.WriteFile("root1/shared.txt", "");
  const struct {
    std::string line, shell, out, message;
  } rows[] = {
      {"stamp ro.txt secret.txt", "", "", "cannot write ro.txt: Permission denied"},
      {"stamp one.txt secret.txt", "", "", "one.txt: it has 2 hard links"},
      {"stamp note.txt secret.txt", "", "", "note.txt: line 2 holds \"# CRC:\""},
      {"stamp short.txt secret.txt", "", "", "short.txt: line 1"},
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
    const std::string before = Read(file);
    const Result r = Run(row.line, "", row.shell, row.out);
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(Has(r.err, "ERROR: ") && Has(r.err, row.message)) << r.err;
    EXPECT_EQ(before, Read(file));
    EXPECT_TRUE(!stamp || Has(r.out, "secret.txt: stamped"));
  }
  EXPECT_EQ(0444u, ModeOf("ro.txt"));
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

TEST_F(MintuTool, ComponentValuesAreChecked) {
  // A description longer than a command line may be, from the standard input.
  Result r = Run(kComponent + " --description-file -", std::string(10 << 20, 'd'));
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_TRUE(Has(r.out, std::string(10 << 20, 'd') + "</spirit:description>"));
  tree.WriteFile("bad.txt", "x\x01");
  const struct {
    std::string line, message;
  } refused[] = {
      {"--vendor 1vendor", "--vendor: '1vendor' must start with a letter"},
      {"--library a\xc2\xa0", "--library: 'a\xc2\xa0' holds U+00A0"},
      // a letter to XML 1.0 5th ed., not to schemas
      {"--library a\xcb\x82", "--library: 'a\xcb\x82' holds U+02C2"},
      {"--description caf\xe9", "--description: the value is not UTF-8 (byte 4)"},
      {"--param p=\x1b[0m", "--param: the value holds U+001B"},
      {"--description-file bad.txt", "--description-file: the value holds U+0001"},
      {"--port clk:sideways", "--port: direction of port clk 'sideways' is not one of in, out"},
      {"--port a:in:7:x", "--port: right bound of port a 'x' is not a non-negative integer"},
      {"--param w:int=1", "--param: format of parameter w 'int' is not one of"},
      {"--port a:in --port a:out", "--port: port 'a' is given twice"},
  };
  for (const auto& row : refused) {
    std::string line = kComponent + " -o refused.xml";
    const std::string option = row.line.substr(0, row.line.find(' ') + 1);
    const std::size_t given = line.find(option);
    if (given != std::string::npos)
      line.erase(given, line.find(' ', given + option.size()) - given);
    r = Run(line + " " + row.line);
    EXPECT_TRUE(r.status == 1 && Has(r.err, "ERROR: " + row.message)) << row.line << r.err;
  }
  EXPECT_FALSE(std::ifstream("refused.xml").good());
}

TEST_F(MintuTool, OutputsValidateAgainstTheSchema) {
  if (std::string(MINTU_SPIRIT_SCHEMA_DIR).empty()) GTEST_SKIP() << "no SPIRIT 1.4 schema folder";
  ASSERT_EQ(0, Run(kComponent + " -o minimal.xml").status);
  EXPECT_EQ(0u, Read("minimal.xml").find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<spirit:"));
  EXPECT_TRUE(Valid("minimal.xml"));
  // Stamped inside a comment: still valid, and it verifies.
  ASSERT_EQ(0, Run("stamp minimal.xml").status);
  EXPECT_TRUE(Has(Read("minimal.xml"), "<!-- # CRC: "));
  EXPECT_EQ(0, Run("verify minimal.xml").status);
  EXPECT_TRUE(Valid("minimal.xml"));
  // Non-ASCII name characters, options written both ways, escaped texts.
  tree.WriteFile("description.txt", "A <small> & \"simple\" FIFO\tfor caf\xc3\xa9s\n");
  std::string line =
      "component --vendor=\xc3\xa9t\xc3\xa9.org --library ip --name=fi\xc2\xb7"
      "fo --version 3.1 --description-file description.txt -o - --param C_WIDTH:long:user=16 "
      "--param C_NAME=a<b --param=C_FLAG:bool=true";
  for (int i = 0; i < 40; ++i)
    line += " --port p" + std::to_string(i) + (i % 3 != 0 ? ":out:7:0" : ":in");
  const Result r = Run(line);
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_TRUE(Valid(tree.WriteFile("fifo.xml", r.out)));
  EXPECT_TRUE(
      Has(r.out, "<spirit:value spirit:resolve=\"user\" spirit:format=\"long\">16</spirit:value>"));
  EXPECT_TRUE(Has(r.out, ">a&lt;b<"));
  EXPECT_TRUE(Has(r.out, "&lt;small&gt; &amp; &quot;simple&quot; FIFO\tfor caf\xc3\xa9s</spirit:"));
  // mintu format keeps valid documents valid: these and the schema's examples.
  std::vector<std::string> inputs = {"minimal.xml", "fifo.xml"};
  const std::filesystem::path examples = std::string(MINTU_SPIRIT_SCHEMA_DIR) + "/examples";
  if (std::filesystem::is_directory(examples)) {
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
      if (entry.path().extension() == ".xml") inputs.push_back(entry.path().string());
    }
  }
  for (const std::string& input : inputs) {
    const Result formatted = Run("format " + input);
    ASSERT_EQ(0, formatted.status) << input << formatted.err;
    EXPECT_TRUE(!Valid(input) || Valid(tree.WriteFile("formatted.xml", formatted.out))) << input;
  }
}

}  // namespace
