// The mintu command, run as a user runs it: a separate process, its output
// and its exit status.

#include <gtest/gtest.h>

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
#else
const std::string SEP = "/";
const char* const JAVA = "root2/java/lin64/jre/bin/java";
#endif

struct Result {
  int status;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

class MintuTool : public ::testing::Test {
 protected:
  // Runs mintu with `args` (and `input` on stdin) in the temporary tree.
  // `orvane` null runs it without ORVANE, so it falls back to its sample tree.
  Result Run(const std::vector<std::string>& args, const char* orvane,
             const std::string& input = "") {
    MintuTest::ProgramRun run;
    run.program = MINTU_TOOL_PATH;
    run.args = args;
    run.directory = tree.base();
    run.input = tree.WriteFile("io/stdin", input);
    run.output = tree.Path("io/stdout");
    run.errors = tree.Path("io/stderr");
    run.env = {{"ORV_MN_API_DEBUG", nullptr}, {"ORVANE", orvane}};
    Result r;
    r.status = MintuTest::RunProgram(run);
    r.out = MintuTest::ReadText(run.output);
    r.err = MintuTest::ReadText(run.errors);
    return r;
  }
  Result Run(const std::vector<std::string>& args) { return Run(args, roots.c_str()); }

  void SetUp() override {
    roots = tree.MakeDir("root1") + Port_Env::GetPathListSeparator() + tree.MakeDir("root2");
  }

  TempInstallTree tree;
  std::string roots;
};

TEST_F(MintuTool, HelpAndUsageErrors) {
  const Result overview = Run({"--help"});
  EXPECT_EQ(0, overview.status);
  for (const char* command : {"version", "checksum", "stamp", "verify", "filelist", "expand",
                              "find", "java", "release", "cores-level", "component"}) {
    SCOPED_TRACE(command);
    EXPECT_NE(std::string::npos, overview.out.find(command));
    const Result help = Run({command, "--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("Usage: mintu " + std::string(command)));
  }
  // Usage errors, each command line written with blanks between its words.
  for (const char* line :
       {"", "frobnicate", "--loud version", "version", "version compare 1.0", "checksum",
        "java extra", "component --vendor v", "component --vendor", "filelist --bogus x"}) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) args.push_back(word);
    EXPECT_EQ(2, Run(args).status) << line;
  }
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
  EXPECT_NE(std::string::npos, r.err.find("ERROR: not a core version: x3.1"));

  EXPECT_EQ("<\n", Run({"version", "compare", "1.5", "1.05.b"}).out);
  EXPECT_EQ("=\n", Run({"version", "compare", "v3_1", "3.01"}).out);
  EXPECT_EQ(">\n", Run({"version", "compare", "10.1", "9.99.z"}).out);

  r = Run({"version", "sort"}, roots.c_str(), "2.0\n1.00.b\nabc\n1.0\n\n1.00.a\n");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("abc\n1.0\n1.00.a\n1.00.b\n2.0\n", r.out);
}

TEST_F(MintuTool, StampThenVerify) {
  const std::string file = tree.WriteFile("core.vhd", "-- header # comment\nentity a is\nend a;\n");
  const Result sum = Run({"checksum", file});
  ASSERT_EQ(0, sum.status);
  ASSERT_EQ(9u, sum.out.size());  // eight characters and a line feed

  ASSERT_EQ(0, Run({"stamp", file}).status);
  const std::string stamped = TempInstallTree::ReadFile(file);
  EXPECT_NE(std::string::npos, stamped.find("# CRC: " + sum.out.substr(0, 8) + "\n"));
  Result r = Run({"verify", file});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(file + ": OK\n", r.out);

  // Stamping again replaces the stamp line rather than adding one.
  ASSERT_EQ(0, Run({"stamp", file}).status);
  EXPECT_EQ(stamped, TempInstallTree::ReadFile(file));

  // A changed data line fails; a changed comment does not.
  tree.WriteFile("core.vhd", stamped + "signal s : bit;\n");
  r = Run({"verify", file});
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find("CHANGED"));
  tree.WriteFile("core.vhd", stamped + "-- # another comment\n");
  EXPECT_EQ(0, Run({"verify", file}).status);

  const std::string plain = tree.WriteFile("plain.txt", "no stamp here\n");
  r = Run({"verify", plain, tree.Path("missing.txt")});
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find(plain + ": OK (no stamp)"));
  EXPECT_NE(std::string::npos, r.err.find("ERROR: Could not open " + tree.Path("missing.txt")));

  EXPECT_EQ(1, Run({"checksum", tree.Path("missing.txt")}).status);
  EXPECT_EQ(1, Run({"stamp", tree.Path("missing.txt")}).status);
}

TEST_F(MintuTool, FileListsAndExpansion) {
  tree.WriteFile("lists/a.v", "");
  tree.WriteFile("lists/sub/b.v", "");
  const std::string list =
      tree.WriteFile("lists/files.lst", "# sources\na.v  # first\n\n sub//b.v\ngone.v\n");
  Result r = Run({"filelist", list});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("a.v\nsub" + SEP + "b.v\n", r.out);
  EXPECT_NE(std::string::npos, r.err.find("WARNING: Missing file list member"));
  r = Run({"filelist", "--full", list});
  EXPECT_EQ(tree.Path("lists/a.v") + "\n" + tree.Path("lists/sub/b.v") + "\n", r.out);
  EXPECT_EQ(1, Run({"filelist", tree.Path("lists/none.lst")}).status);

  tree.WriteFile("root2/data/file.txt", "x");
  r = Run({"expand", "${ORVANE}/data/file.txt", "a${MINTU_TEST_UNSET_NAME}b"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(tree.Path("root2/data/file.txt") + "\nab\n", r.out);
  r = Run({"expand", "${ORVANE}/data/none.txt"});
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("ERROR: not found under the install roots"));
}

TEST_F(MintuTool, InstallLookups) {
  tree.WriteFile("root2/shared.txt", "second");
  tree.MakeDir("root1/shared.txt");
  EXPECT_EQ(tree.Path("root1/shared.txt") + "\n", Run({"find", "shared.txt"}).out);
  tree.WriteFile("root2/mintaro/ip/orvane/cores_lib/my_core/core.xml", "");
  Result r = Run({"find", "--container", "my_core/core.xml"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(tree.Path("root2/mintaro/ip/orvane/cores_lib/my_core/core.xml") + "\n", r.out);
  r = Run({"find", "nothing.txt"});
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("ERROR: not found under the install roots: nothing.txt"));
  EXPECT_EQ("", Run({"--quiet", "find", "nothing.txt"}).err);

  EXPECT_EQ(1, Run({"java"}).status);
  tree.WriteFile(JAVA, "#!/bin/sh\n");
  r = Run({"java"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(tree.Path(JAVA) + "\n", r.out);

  r = Run({"release"});
  EXPECT_EQ(0, r.status);
  EXPECT_NE(std::string::npos, r.out.find("next major release: 15.1"));

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

// Validates with xmllint against the published SPIRIT 1.4 schema when the
// build knows where it is.
void ExpectValidSpirit(const std::string& file) {
  const std::string schema = MINTU_SPIRIT_SCHEMA_DIR;
  if (schema.empty()) return;
  const std::string command =
      "xmllint --noout --schema " + Quoted(schema + "/index.xsd") + " " + Quoted(file) + " 2>&1";
  EXPECT_EQ(0, std::system(command.c_str())) << file;
}

TEST_F(MintuTool, ComponentsValidateAgainstTheSchema) {
  const std::string minimal = tree.Path("minimal.xml");
  Result r = Run({"component", "--vendor", "orvane.com", "--library", "ip", "--name", "tiny",
                  "--version", "1.00.a", "-o", minimal});
  ASSERT_EQ(0, r.status) << r.err;
  const std::string text = TempInstallTree::ReadFile(minimal);
  EXPECT_EQ(0u, text.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<spirit:component "));
  EXPECT_NE(std::string::npos, text.find("  <spirit:version>1.00.a</spirit:version>\n"));
  ExpectValidSpirit(minimal);
  // Stamped inside a comment: still valid, and it verifies.
  ASSERT_EQ(0, Run({"stamp", minimal}).status);
  EXPECT_NE(std::string::npos, TempInstallTree::ReadFile(minimal).find("<!-- # CRC: "));
  EXPECT_EQ(0, Run({"verify", minimal}).status);
  ExpectValidSpirit(minimal);

  std::vector<std::string> args = {"component",
                                   "--vendor",
                                   "orvane.com",
                                   "--library",
                                   "ip",
                                   "--name",
                                   "fifo",
                                   "--version",
                                   "3.1",
                                   "--description",
                                   "A <small> & \"simple\" FIFO"};
  for (int i = 0; i < 40; ++i) {
    args.push_back("--port");
    args.push_back("p" + std::to_string(i) +
                   (i % 3 == 0 ? ":in" : ":out:" + std::to_string(i) + ":0"));
  }
  args.insert(args.end(), {"--param", "C_WIDTH:long:user=16", "--param", "C_NAME=a < b", "--param",
                           "C_FLAG:bool=true", "-o", tree.Path("fifo.xml")});
  r = Run(args);
  ASSERT_EQ(0, r.status) << r.err;
  ExpectValidSpirit(tree.Path("fifo.xml"));
  const std::string fifo = TempInstallTree::ReadFile(tree.Path("fifo.xml"));
  EXPECT_NE(
      std::string::npos,
      fifo.find("<spirit:value spirit:resolve=\"user\" spirit:format=\"long\">16</spirit:value>"));
  EXPECT_NE(std::string::npos, fifo.find("a &lt; b"));

  r = Run({"component", "--vendor", "orvane.com", "--library", "ip", "--name", "bad", "--version",
           "1.0", "--port", "clk:sideways"});
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("ERROR: mintu component: direction of port clk"));
  const std::vector<std::vector<std::string>> refused = {
      {"--vendor", "1vendor", "--version", "1.0"},
      {"--vendor", "v", "--version", "1.0", "--port", "a:in:7:x"},
      {"--vendor", "v", "--version", "1.0", "--port", "a:in", "--port", "a:out"}};
  for (std::vector<std::string> line : refused) {
    line.insert(line.begin(), {"component", "--library", "ip", "--name", "n"});
    EXPECT_EQ(1, Run(line).status) << testing::PrintToString(line);
  }
}

}  // namespace
