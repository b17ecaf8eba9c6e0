// The mintu command, run as a user runs it: a separate process, its output
// and its exit status.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "port/Port_Env.h"
#include "support/RunProgram.h"
#include "support/TempInstallTree.h"

namespace {

using MintuTest::TempInstallTree;

// The platform's spelling of paths in the install tree and in file lists.
#ifdef _WIN32
const std::string SEP = "\\";
const char* const JAVA = "root2/java/nt64/jre/bin/java.exe";
// Windows' C library gives no reason of its own for reading a directory.
const char* const READ_DIRECTORY = "cannot read io: ";
#else
const char* const READ_DIRECTORY = "cannot read io: Is a directory";
const std::string SEP = "/";
const char* const JAVA = "root2/java/lin64/jre/bin/java";
#endif

using Result = MintuTest::ProgramResult;
const auto Quoted = MintuTest::ShellQuoted;

// The words of a command line written with blanks between them.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

#ifdef _WIN32
// File modes, links, /dev/full, a closed standard output and ulimit are the
// POSIX shell's; a test that needs them says so where they are missing.
#define MINTU_SKIP_WITHOUT_POSIX_SHELL() GTEST_SKIP() << "needs POSIX modes, links and a shell"
#else
#define MINTU_SKIP_WITHOUT_POSIX_SHELL() (void)0

mode_t ModeOf(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}
#endif

class MintuTool : public ::testing::Test {
 protected:
  // Runs mintu with `args` (and `input` on stdin) in the temporary tree.
  // `orvane` null runs it without ORVANE, so it falls back to its sample tree.
  // `out` replaces the redirection of the standard output; `shell` runs first.
  Result Run(const std::vector<std::string>& args, const char* orvane,
             const std::string& input = "", const std::string& out = "",
             const std::string& shell = "") {
    const std::string in = tree.WriteFile("io/stdin", input);
    tree.WriteFile("io/stdout", "");
    Result r;
    if (out.empty() && shell.empty()) {
      MintuTest::ProgramRun run;
      run.program = MINTU_TOOL_PATH;
      run.args = args;
      run.directory = tree.base();
      run.input = in;
      run.output = tree.Path("io/stdout");
      run.errors = tree.Path("io/stderr");
      run.env = {{"ORV_MN_API_DEBUG", nullptr}, {"ORVANE", orvane}};
      r.status = MintuTest::RunProgram(run);
      r.out = MintuTest::ReadText(run.output);
      r.err = MintuTest::ReadText(run.errors);
      return r;
    }
#ifdef _WIN32
    ADD_FAILURE() << "a shell is needed for " << out << shell;
    r.status = -1;
#else
    std::string command =
        "cd " + Quoted(tree.base()) + " && " + shell + " env -u ORV_MN_API_DEBUG ";
    command += orvane != nullptr ? "ORVANE=" + Quoted(orvane) + " " : "-u ORVANE ";
    command += Quoted(MINTU_TOOL_PATH);
    for (const std::string& a : args) command += " " + Quoted(a);
    command += " <" + Quoted(in) + " " +
               (out.empty() ? ">" + Quoted(tree.Path("io/stdout")) : out) + " 2>" +
               Quoted(tree.Path("io/stderr"));
    const int raw = std::system(("sh -c " + Quoted(command)).c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = TempInstallTree::ReadFile(tree.Path("io/stdout"));
    r.err = TempInstallTree::ReadFile(tree.Path("io/stderr"));
#endif
    return r;
  }
  Result Run(const std::vector<std::string>& args) { return Run(args, roots.c_str()); }
  Result Feed(const std::vector<std::string>& args, const std::string& input) {
    return Run(args, roots.c_str(), input);
  }

  void SetUp() override {
    roots = tree.MakeDir("root1") + Port_Env::GetPathListSeparator() + tree.MakeDir("root2");
  }

  TempInstallTree tree;
  std::string roots;
};

const char* const kComponent = "component --vendor orvane.com --library ip --name n --version 1.0";

TEST_F(MintuTool, HelpVersionAndUsageErrors) {
  const Result overview = Run({"--help"});
  EXPECT_EQ(0, overview.status);
  for (const char* command : {"version", "checksum", "stamp", "verify", "filelist", "expand",
                              "find", "java", "release", "cores-level", "component"}) {
    SCOPED_TRACE(command);
    EXPECT_TRUE(Has(overview.out, command));
    const Result help = Run({command, "--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_TRUE(Has(help.out, "Usage: mintu " + std::string(command)));
  }
  EXPECT_TRUE(Has(Run({"stamp", "--help"}).out, "several hard links"));
  for (const char* option : {"--version", "-V"}) {
    const Result r = Run({option});
    EXPECT_EQ(0, r.status);
    EXPECT_TRUE(Has(r.out, "mintu 1.") && Has(r.out, "libMintu_Utilities") &&
                Has(r.out, "installed release: 14.2"))
        << r.out;
  }
  // 2 for a malformed command line only; 1 for a well-formed request that fails.
  const std::string c = kComponent;
  for (const std::string& line : std::vector<std::string>{
           "", "frobnicate", "--loud version", "version", "version compare 1.0", "checksum",
           "java extra", "component --vendor v", "component --vendor", "filelist --bogus x",
           "find --container=yes x", c + " --vendor w"})
    EXPECT_EQ(2, Run(Words(line)).status) << line;
  for (const std::string& line : {c + " --port d:in:7", c + " --port d:in:a:b",
                                  c + " --param noequals", std::string("checksum missing.txt")})
    EXPECT_EQ(1, Run(Words(line)).status) << line;
}

TEST_F(MintuTool, Versions) {
  Result r = Run({"version", "normalize", "v3_1", "V1_00_A", "3_01"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("3.1\n1.00.a\n3.1\n", r.out);

  r = Run({"version", "underscore", "3.1", "1.00.a", "abc"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("_v3_1\n_v1_00_a\n_abc\n", r.out);

  r = Run({"version", "normalize", "3.1", "x3.1"});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("3.1\n", r.out);
  EXPECT_TRUE(Has(r.err, "ERROR: not a core version: x3.1"));

  EXPECT_EQ("<\n", Run({"version", "compare", "1.5", "1.05.b"}).out);
  EXPECT_EQ("=\n", Run({"version", "compare", "v3_1", "3.01"}).out);
  EXPECT_EQ(">\n", Run({"version", "compare", "10.1", "9.99.z"}).out);

  for (const std::vector<std::string>& line : {std::vector<std::string>{"version", "sort"},
                                               {"version", "sort", "-"},
                                               {"-q", "version", "--", "sort", "-"}}) {
    r = Feed(line, "2.0\n1.00.b\nabc\n1.0\n\n1.00.a\n");
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("abc\n1.0\n1.00.a\n1.00.b\n2.0\n", r.out);
  }
}

TEST_F(MintuTool, StampThenVerify) {
  const std::string file = tree.WriteFile("core.vhd", "-- header # comment\nentity a is\nend a;\n");
  const Result sum = Run({"checksum", file});
  ASSERT_EQ(0, sum.status);
  ASSERT_EQ(9u, sum.out.size());  // eight characters and a line feed
  EXPECT_EQ(sum.out, Feed({"checksum", "-"}, TempInstallTree::ReadFile(file)).out);

  ASSERT_EQ(0, Run({"stamp", file}).status);
  const std::string stamped = TempInstallTree::ReadFile(file);
  EXPECT_TRUE(Has(stamped, "# CRC: " + sum.out.substr(0, 8) + "\n"));
  Result r = Run({"verify", file});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(file + ": OK\n", r.out);
  EXPECT_EQ("-: OK\n", Feed({"verify", "-"}, stamped).out);

  // Stamping again replaces the stamp line rather than adding one.
  ASSERT_EQ(0, Run({"stamp", file}).status);
  EXPECT_EQ(stamped, TempInstallTree::ReadFile(file));

  // A changed data line fails; a changed comment does not.
  tree.WriteFile("core.vhd", stamped + "signal s : bit;\n");
  r = Run({"verify", file});
  EXPECT_EQ(1, r.status);
  EXPECT_TRUE(Has(r.out, "CHANGED"));
  tree.WriteFile("core.vhd", stamped + "-- # another comment\n");
  EXPECT_EQ(0, Run({"verify", file}).status);

  const std::string plain = tree.WriteFile("plain.txt", "no stamp here\n");
  r = Run({"verify", plain, "missing.txt"});
  EXPECT_EQ(1, r.status);
  EXPECT_TRUE(Has(r.out, plain + ": OK (no stamp)"));
  EXPECT_TRUE(Has(r.err, "ERROR: cannot read missing.txt: No such file or directory"));

  // One wording for the same failure in every command.
  for (const char* command : {"checksum", "stamp", "verify", "filelist"}) {
    SCOPED_TRACE(command);
    r = Run({command, "missing.txt"});
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(Has(r.err, "cannot read missing.txt: No such file or directory")) << r.err;
    EXPECT_TRUE(Has(Run({command, "io"}).err, READ_DIRECTORY));
  }
}

// Stamping keeps everything of the file but the stamp, and refuses what it
// cannot do safely, leaving the file untouched.
TEST_F(MintuTool, StampKeepsTheFile) {
  MINTU_SKIP_WITHOUT_POSIX_SHELL();
#ifndef _WIN32
  const std::string secret = tree.WriteFile("secret.txt", "data\n");
  const std::string script = tree.WriteFile("run.sh", "#!/bin/sh\necho\n");
  const std::string target = tree.WriteFile("target.txt", "linked\n");
  ::chmod(secret.c_str(), 0600);
  ::chmod(script.c_str(), 0755);
  ASSERT_EQ(0, ::symlink("target.txt", tree.Path("link.txt").c_str()));
  Result r = Run({"stamp", "secret.txt", "run.sh", "link.txt"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(0600u, ModeOf(secret));
  EXPECT_EQ(0755u, ModeOf(script));
  EXPECT_EQ("linked\n# CRC: 97f8e5ec\n", TempInstallTree::ReadFile(target));
  char link[64] = {};
  EXPECT_EQ(10, ::readlink(tree.Path("link.txt").c_str(), link, sizeof link));
  tree.WriteFile("c.xml", "x\n<!-- # CRC: 00000000 -->\n");
  ASSERT_EQ(0, Run({"stamp", "c.xml"}).status);
  EXPECT_EQ("x\n<!-- # CRC: 8cdc1683 -->\n", TempInstallTree::ReadFile(tree.Path("c.xml")));

  const std::string readOnly = tree.WriteFile("ro.txt", "data\n");
  ::chmod(readOnly.c_str(), 0444);
  tree.WriteFile("one.txt", "data\n");
  ASSERT_EQ(0, ::link(tree.Path("one.txt").c_str(), tree.Path("two.txt").c_str()));
  const struct {
    const char* file;
    const char* content;
    const char* message;
  } refused[] = {
      {"ro.txt", nullptr, "cannot write ro.txt: Permission denied"},
      {"one.txt", nullptr, "one.txt: it has 2 hard links"},
      {"note.txt", "data\nsee # CRC: notes below\n", "note.txt: line 2 holds \"# CRC:\""},
      {"short.txt", "# CRC: 1234\n", "short.txt: line 1"},
      {"long.txt", "# CRC: 123456789\n", "long.txt: line 1"},
  };
  for (const auto& row : refused) {
    SCOPED_TRACE(row.file);
    if (row.content != nullptr) tree.WriteFile(row.file, row.content);
    const std::string before = TempInstallTree::ReadFile(tree.Path(row.file));
    r = Run({"stamp", row.file, "secret.txt"});
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(Has(r.err, row.message)) << r.err;
    EXPECT_TRUE(Has(r.out, "secret.txt: stamped"));
    EXPECT_EQ(before, TempInstallTree::ReadFile(tree.Path(row.file)));
  }
  EXPECT_EQ(0444u, ModeOf(readOnly));
#endif
}

// A write that fails is reported with its reason and status 1, and an output
// file is replaced whole or not at all.
TEST_F(MintuTool, WriteFailures) {
  MINTU_SKIP_WITHOUT_POSIX_SHELL();
#ifndef _WIN32
  const struct {
    std::string line;
    std::string out;
    std::string message;
  } rows[] = {
      {"version sort 1.0 2.0", ">/dev/full", "standard output: No space left on device"},
      {kComponent, ">/dev/full", "standard output: No space left on device"},
      {"find shared.txt", ">&-", "standard output: Bad file descriptor"},
      {std::string(kComponent) + " -o /dev/full", "", "/dev/full: No space left on device"},
      {std::string(kComponent) + " -o none/x.xml", "", "none/x.xml: No such file or directory"},
      {std::string(kComponent) + " -o ro.xml", "", "ro.xml: Permission denied"},
  };
  tree.WriteFile("root1/shared.txt", "");
  ::chmod(tree.WriteFile("ro.xml", "").c_str(), 0444);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const Result r = Run(Words(row.line), roots.c_str(), "", row.out);
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(Has(r.err, "ERROR: cannot write " + row.message)) << r.err;
  }
  // A file size limit stops the write half way: killed, or told (signal ignored).
  const std::string old = tree.WriteFile("out.xml", "old\n");
  const std::vector<std::string> big =
      Words(std::string(kComponent) + " --description " + std::string(4096, 'd') + " -o out.xml");
  for (const char* shell : {"ulimit -f 1;", "trap '' XFSZ; ulimit -f 1;"}) {
    SCOPED_TRACE(shell);
    const Result r = Run(big, roots.c_str(), "", "", shell);
    EXPECT_NE(0, r.status);
    EXPECT_EQ("old\n", TempInstallTree::ReadFile(old));
  }
  EXPECT_TRUE(Has(Run(big, roots.c_str(), "", "", "trap '' XFSZ; ulimit -f 1;").err,
                  "cannot write out.xml: File too large"));
#endif
}

TEST_F(MintuTool, FileListsAndExpansion) {
  tree.WriteFile("lists/a.v", "");
  tree.WriteFile("lists/sub/b.v", "");
  const std::string list =
      tree.WriteFile("lists/files.lst", "# sources\na.v  # first\n\n sub//b.v\ngone.v\n");
  Result r = Run({"filelist", list});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("a.v\nsub" + SEP + "b.v\n", r.out);
  EXPECT_TRUE(Has(r.err, "WARNING: Missing file list member"));
  r = Run({"filelist", "--full", list});
  EXPECT_EQ(tree.Path("lists/a.v") + "\n" + tree.Path("lists/sub/b.v") + "\n", r.out);
  r = Feed({"filelist", "-"}, "lists/a.v\nio\nnone.v\n");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("lists" + SEP + "a.v\nio\n", r.out);

  tree.WriteFile("root2/data/file.txt", "x");
  r = Run({"expand", "${ORVANE}/data/file.txt", "a${MINTU_TEST_UNSET_NAME}b"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(tree.Path("root2/data/file.txt") + "\nab\n", r.out);
  r = Run({"expand", "${ORVANE}/data/none.txt"});
  EXPECT_EQ(1, r.status);
  EXPECT_TRUE(Has(r.err, "ERROR: not found under the install roots"));
}

TEST_F(MintuTool, InstallLookups) {
  tree.WriteFile("root2/shared.txt", "second");
  tree.MakeDir("root1/shared.txt");
  EXPECT_EQ(tree.Path("root1/shared.txt") + "\n", Run({"find", "shared.txt"}).out);
  tree.WriteFile("root2/mintaro/ip/orvane/cores_lib/my_core/core.xml", "");
  // Global options anywhere, options as --name or -x, "--" before operands.
  for (const char* line : {"find --container my_core/core.xml", "find -c --quiet my_core/core.xml",
                           "--verbose find my_core/core.xml -c", "find -c -- my_core/core.xml"}) {
    const Result r = Run(Words(line));
    EXPECT_EQ(0, r.status) << line;
    EXPECT_EQ(tree.Path("root2/mintaro/ip/orvane/cores_lib/my_core/core.xml") + "\n", r.out)
        << line;
  }
  Result r = Run({"find", "nothing.txt"});
  EXPECT_EQ(1, r.status);
  EXPECT_TRUE(Has(r.err, "ERROR: not found under the install roots: nothing.txt"));
  EXPECT_EQ("", Run({"find", "nothing.txt", "--quiet"}).err);

  EXPECT_EQ(1, Run({"java"}).status);
  tree.WriteFile(JAVA, "#!/bin/sh\n");
  r = Run({"java"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(tree.Path(JAVA) + "\n", r.out);

  r = Run({"release"});
  EXPECT_EQ(0, r.status);
  EXPECT_TRUE(Has(r.out, "next major release: 15.1"));

  EXPECT_EQ(1, Run({"cores-level"}).status);
  tree.WriteFile("root2/IPupdate.log", "updated\ncores_level=12\n");
  r = Run({"cores-level"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("Cores Update # 12\n", r.out);
}

TEST_F(MintuTool, SampleInstallationWithoutOrvane) {
  for (const char* command : {"java", "cores-level", "release"}) {
    SCOPED_TRACE(command);
    const Result r = Run({command}, nullptr);
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_FALSE(r.out.empty());
  }
}

// With --verbose each message tells the line of mintu's source that issued it.
TEST_F(MintuTool, MessagesCarryTheirSourceLine) {
  std::vector<int> lines;
  for (const char* line : {"--verbose stamp missing.txt", "find nothing --verbose"}) {
    const std::string err = Run(Words(line)).err;
    const std::size_t open = err.rfind(" ["), colon = err.find(':', open);
    ASSERT_NE(std::string::npos, colon) << err;
    std::ifstream source(std::string(MINTU_TOOL_SOURCE_DIR) + "/" +
                         err.substr(open + 2, colon - open - 2));
    lines.push_back(std::atoi(err.c_str() + colon + 1));
    std::string text;
    for (int i = 0; i < lines.back() && std::getline(source, text); ++i) {
    }
    EXPECT_TRUE(Has(text, "MINTU_CLI_ERROR")) << err << text;
  }
  EXPECT_NE(lines[0], lines[1]);
}

// Validates with xmllint against the published SPIRIT 1.4 schema.
void ExpectValidSpirit(const std::string& file) {
  const std::string command = "xmllint --noout --schema " +
                              Quoted(std::string(MINTU_SPIRIT_SCHEMA_DIR) + "/index.xsd") + " " +
                              Quoted(file) + " 2>&1";
  EXPECT_EQ(0, std::system(command.c_str())) << file;
}

TEST_F(MintuTool, ComponentsValidateAgainstTheSchema) {
  if (std::string(MINTU_SPIRIT_SCHEMA_DIR).empty())
    GTEST_SKIP() << "MINTU_SPIRIT_SCHEMA_DIR not given: no schema to validate against";
  const std::string minimal = tree.Path("minimal.xml");
  Result r = Run({"component", "--vendor", "orvane.com", "--library", "ip", "--name", "tiny",
                  "--version", "1.00.a", "-o", minimal});
  ASSERT_EQ(0, r.status) << r.err;
  const std::string text = TempInstallTree::ReadFile(minimal);
  EXPECT_EQ(0u, text.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<spirit:component "));
  EXPECT_TRUE(Has(text, "  <spirit:version>1.00.a</spirit:version>\n"));
  ExpectValidSpirit(minimal);
  // Stamped inside a comment: still valid, and it verifies.
  ASSERT_EQ(0, Run({"stamp", minimal}).status);
  EXPECT_TRUE(Has(TempInstallTree::ReadFile(minimal), "<!-- # CRC: "));
  EXPECT_EQ(0, Run({"verify", minimal}).status);
  ExpectValidSpirit(minimal);

  // Names with non-ASCII name characters, options written both ways, the
  // description from a file, the output on "-".
  tree.WriteFile("description.txt", "A <small> & \"simple\" FIFO\tfor caf\xc3\xa9s\n");
  std::vector<std::string> args = Words(
      "component --vendor=\xc3\xa9t\xc3\xa9.org --library ip --name=fi\xc2\xb7"
      "fo --version 3.1 "
      "--description-file description.txt -o - --param C_WIDTH:long:user=16 "
      "--param C_NAME=a<b --param=C_FLAG:bool=true");
  for (int i = 0; i < 40; ++i) {
    args.push_back("--port");
    args.push_back("p" + std::to_string(i) +
                   (i % 3 == 0 ? ":in" : ":out:" + std::to_string(i) + ":0"));
  }
  r = Run(args);
  ASSERT_EQ(0, r.status) << r.err;
  const std::string fifo = tree.WriteFile("fifo.xml", r.out);
  ExpectValidSpirit(fifo);
  EXPECT_TRUE(
      Has(r.out, "<spirit:value spirit:resolve=\"user\" spirit:format=\"long\">16</spirit:value>"));
  EXPECT_TRUE(Has(r.out, ">a&lt;b<"));
  EXPECT_TRUE(Has(r.out, "&lt;small&gt; &amp; &quot;simple&quot; FIFO\tfor caf\xc3\xa9s</spirit:"));

  // A description longer than a command line may be, from the standard input.
  r = Feed(Words(std::string(kComponent) + " --description-file -"), std::string(10 << 20, 'd'));
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_TRUE(Has(r.out, std::string(10 << 20, 'd') + "</spirit:description>"));

  const struct {
    const char* option;
    std::string value;
    const char* message;
  } refused[] = {
      {"--vendor", "1vendor", "--vendor: '1vendor' must start with a letter"},
      {"--vendor", "a\xc2\xa0", "--vendor: 'a\xc2\xa0' holds U+00A0"},
      {"--name",
       "2\xc3\x97"
       "3",
       "--name: '2\xc3\x97"
       "3' holds U+00D7"},
      {"--library", "a b", "--library: 'a b' holds U+0020"},
      {"--library", "a\xcb\x82",
       "--library: 'a\xcb\x82' holds U+02C2"},  // a letter to XML 1.0 5th ed., not to schemas
      {"--port", "a\xc2\xa0:in", "--port: 'a\xc2\xa0' holds U+00A0"},
      {"--param", "a b=1", "--param: 'a b' holds U+0020"},
      {"--description", "bell\x07", "--description: the value holds U+0007"},
      {"--description", "caf\xe9", "--description: the value is not UTF-8 (byte 4)"},
      {"--description", "\xed\xa0\x80", "--description: the value is not UTF-8 (byte 1)"},
      {"--param", "p=\x1b[0m", "--param: the value holds U+001B"},
      {"--port", "clk:sideways", "--port: direction of port clk 'sideways' is not one of in, out"},
      {"--port", "a:in:7:x", "--port: right bound of port a 'x' is not a non-negative integer"},
      {"--param", "w:int=1", "--param: format of parameter w 'int' is not one of"},
  };
  for (const auto& row : refused) {
    SCOPED_TRACE(row.value);
    std::vector<std::string> line = Words(kComponent);
    const auto given = std::find(line.begin(), line.end(), row.option);
    if (given != line.end()) line.erase(given, given + 2);
    line.insert(line.end(), {row.option, row.value, "-o", "refused.xml"});
    r = Run(line);
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(Has(r.err, std::string("ERROR: ") + row.message)) << r.err;
  }
  tree.WriteFile("bad.txt", "x\x01");
  for (const char* twice : {"--port a:in --port a:out", "--param a=1 --param a:long=2"}) {
    r = Run(Words(std::string(kComponent) + " " + twice));
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(Has(r.err, "' is given twice")) << r.err;
  }
  r = Run(Words(std::string(kComponent) + " --description-file bad.txt"));
  EXPECT_TRUE(Has(r.err, "--description-file: the value holds U+0001")) << r.err;
  EXPECT_FALSE(std::ifstream(tree.Path("refused.xml")).good());
}

}  // namespace
