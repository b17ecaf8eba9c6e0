// mintu diff and mintu format, run as separate processes on components that
// mintu component writes and on the schema's examples.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempInstallTree.h"

namespace {

using MintuTest::TempInstallTree;

using Result = MintuTest::ProgramResult;
const auto Quoted = MintuTest::ShellQuoted;

class MintuXml : public ::testing::Test {
 protected:
  // Runs mintu in the temporary tree, with `input` on stdin.
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    MintuTest::ProgramRun run;
    run.program = MINTU_TOOL_PATH;
    run.args = args;
    run.directory = tree.base();
    run.input = tree.WriteFile("stdin", input);
    run.output = tree.Path("stdout");
    run.errors = tree.Path("stderr");
    const int status = MintuTest::RunProgram(run);
    return {status, MintuTest::ReadText(run.output), MintuTest::ReadText(run.errors)};
  }
  // A component with the given ports, written by mintu component to `file`.
  void Component(const std::string& file, const std::vector<std::string>& ports) {
    std::vector<std::string> args = {"component", "--vendor", "orvane.com", "--library",
                                     "ip",        "--name",   "fifo",       "--version",
                                     "3.1",       "-o",       file};
    for (const std::string& p : ports) args.insert(args.end(), {"--port", p});
    ASSERT_EQ(0, Run(args).status);
  }
  // Whether xmllint finds `file` valid against the SPIRIT 1.4 schema.
  static bool Valid(const std::string& file) {
    const std::string command = "xmllint --noout --schema " +
                                Quoted(std::string(MINTU_SPIRIT_SCHEMA_DIR) + "/index.xsd") + " " +
                                Quoted(file) + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }

  TempInstallTree tree;
};

TEST_F(MintuXml, DiffShowsWhereComponentsPart) {
  Component("a.xml", {"clk:in", "din:in:7:0", "dout:out:7:0"});
  Component("reordered.xml", {"dout:out:7:0", "clk:in", "din:in:7:0"});
  Component("wider.xml", {"dout:out:7:0", "clk:in", "din:in:15:0"});
  Component("more.xml", {"clk:in", "din:in:7:0", "dout:out:7:0", "rst:in"});
  const struct {
    const char* b;
    int status;
    const char* out;
  } rows[] = {
      {"reordered.xml", 0, ""},
      {"wider.xml", 1,
       "a.xml: spirit:component/spirit:model/spirit:ports/spirit:port[2]/spirit:wire/"
       "spirit:vector/spirit:left\n"
       "wider.xml: spirit:component/spirit:model/spirit:ports/spirit:port[3]/spirit:wire/"
       "spirit:vector/spirit:left\n"
       "different text: \"7\" in a.xml, \"15\" in wider.xml\n"},
      {"more.xml", 1,
       "a.xml: spirit:component/spirit:model/spirit:ports\n"
       "more.xml: spirit:component/spirit:model/spirit:ports\n"
       "missing member: spirit:port[4] is only in more.xml\n"},
  };
  for (const auto& row : rows) {
    const Result r = Run({"diff", "a.xml", row.b});
    EXPECT_EQ(row.status, r.status) << row.b;
    EXPECT_EQ(row.out, r.out);
  }
  tree.WriteFile("attr.xml", "<a x='1'><b y='2'/></a>");
  tree.WriteFile("attr2.xml", "<a x='1'><b y='3'/></a>");
  EXPECT_EQ(
      "attr.xml: a/b\nattr2.xml: a/b\ndifferent attributes: y is \"2\" in attr.xml, \"3\" "
      "in attr2.xml\n",
      Run({"diff", "attr.xml", "attr2.xml"}).out);

  const Result quiet = Run({"diff", "--quiet", "a.xml", "wider.xml"});
  EXPECT_EQ(1, quiet.status);
  EXPECT_EQ("", quiet.out);
  tree.WriteFile("bad.xml", "<a>\n<b></a>");
  const Result bad = Run({"diff", "a.xml", "bad.xml"});
  EXPECT_EQ(2, bad.status);
  EXPECT_NE(std::string::npos,
            bad.err.find("Cannot read bad.xml: line 2, column 6: Start-end tags mismatch"))
      << bad.err;
  EXPECT_EQ(2, Run({"diff", "a.xml"}).status);
  EXPECT_EQ(2, Run({"diff", "--bogus", "a.xml", "a.xml"}).status);
}

TEST_F(MintuXml, FormatKeepsWrittenComponentsAndValidity) {
  // What mintu component wrote comes back byte for byte, from a file or stdin.
  Component("a.xml", {"clk:in", "din:in:7:0", "dout:out:7:0"});
  const std::string written = TempInstallTree::ReadFile(tree.Path("a.xml"));
  EXPECT_EQ(written, Run({"format", "a.xml"}).out);
  EXPECT_EQ(written, Run({"format", "-"}, written).out);

  const Result sorted = Run({"format", "--sort", "-"}, "<r><b>2</b><a/><b>1</b></r>");
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\n  <a/>\n  <b>1</b>\n  <b>2</b>\n</r>\n",
      sorted.out);
  const Result bad = Run({"format", "-"}, "<r>text<a/></r>");
  EXPECT_EQ(1, bad.status);
  EXPECT_NE(std::string::npos, bad.err.find("line 1, column 4: Mixed content")) << bad.err;
  EXPECT_EQ(2, Run({"format"}).status);

  if (std::string(MINTU_SPIRIT_SCHEMA_DIR).empty()) GTEST_SKIP() << "no SPIRIT schema folder";
  std::vector<std::string> inputs = {tree.Path("a.xml")};
  const std::filesystem::path examples = std::string(MINTU_SPIRIT_SCHEMA_DIR) + "/examples";
  if (std::filesystem::is_directory(examples)) {
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
      if (entry.path().extension() == ".xml") inputs.push_back(entry.path().string());
    }
  }
  ASSERT_TRUE(Valid(inputs.front()));
  for (const std::string& input : inputs) {
    const Result r = Run({"format", input});
    ASSERT_EQ(0, r.status) << input << r.err;
    if (Valid(input)) {
      EXPECT_TRUE(Valid(tree.WriteFile("formatted.xml", r.out))) << input;
    }
  }
}

}  // namespace
