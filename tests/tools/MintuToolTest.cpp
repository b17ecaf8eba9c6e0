// The mintu command, run as a user runs it: a separate process (started
// without a shell, also on Windows), its output and its exit status.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
extern char** environ;
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "mintu/Mintu_Utilities.h"
#include "port/Port_Env.h"
#include "support/TempInstallTree.h"

namespace {

using testing::HasSubstr;
using Says = testing::Matcher<const std::string&>;

const std::string SEP(1, static_cast<char>(std::filesystem::path::preferred_separator));
const std::string kTool = std::filesystem::absolute(MINTU_TOOL_PATH).string();
const std::string kComponent = "component --vendor orvane.com --library ip --name n --version 1.0";

// Runs `words` (program first) without a shell, stdio from and to these files: its status or -1.
int Spawn(std::vector<std::string> words, const std::string& in, const std::string& out) {
  const std::string program = words[0];
#ifdef _WIN32
  for (std::string& word : words) word = "\"" + word + "\"";  // none holds a quote or ends in '\\'
#endif
  std::vector<char*> args;
  for (std::string& word : words) args.push_back(&word[0]);
  args.push_back(nullptr);
  const char* paths[] = {in.c_str(), out.c_str(), "io/stderr"};
  int saved[3];
  std::fflush(nullptr);
  for (int fd = 0; fd < 3; ++fd) {
    saved[fd] = dup(fd);
    const int file = open(paths[fd], fd ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY, 0644);
    dup2(file, fd);
    close(file);
  }
#ifdef _WIN32
  const int status = static_cast<int>(_spawnv(_P_WAIT, program.c_str(), args.data()));
#else
  pid_t child = 0;
  int raw = -1;  // not an exit
  if (posix_spawnp(&child, args[0], nullptr, nullptr, args.data(), environ) == 0) {
    waitpid(child, &raw, 0);
  }
  const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  for (int fd = 0; fd < 3; ++fd) {
    dup2(saved[fd], fd);
    close(saved[fd]);
  }
  return status;
}

std::string Read(const std::string& path) {
  return MintuTest::TempInstallTree::ReadFile(path, true);
}

// All of a text, or after a '*' a part of it ("*" alone: anything).
Says Expects(const std::string& text) {
  return text[0] == '*' ? HasSubstr(text.substr(1)) : Says(testing::StrEq(text));
}

class MintuTool : public ::testing::Test {
 protected:
  MintuTool() {
    std::filesystem::current_path(tree.base());
    tree.SetEnv("ORVANE", roots.c_str());
    tree.SetEnv("ORV_MN_API_DEBUG", nullptr);
  }
  // mintu with the words of `line`, `input` on stdin: its status, `out`, `err`. POSIX only:
  // `shell` runs first in the shell that becomes mintu; `output` replaces the stdout file.
  int Run(const std::string& line, const std::string& input = "", const std::string& shell = "",
          const std::string& output = "io/stdout") {
    std::vector<std::string> argv = {kTool};
    std::istringstream words(line);
    for (std::string word; words >> word;) argv.push_back(word);
    if (!shell.empty()) argv.insert(argv.begin(), {"/bin/sh", "-c", shell + " exec \"$0\" \"$@\""});
    const int status = Spawn(argv, tree.WriteFile("io/stdin", input), output);
    out = output == "io/stdout" ? Read(output) : "";
    err = Read("io/stderr");
    return status;
  }

  MintuTest::TempInstallTree tree;
  std::string out, err;
  const std::string roots =
      tree.MakeDir("root1") + Port_Env::GetPathListSeparator() + tree.MakeDir("root2");
};

TEST_F(MintuTool, CommandsAnswer) {
  std::istringstream files(  // each file's name, a blank and its content
      "lists/files.lst # sources\na.v  # first\n\n sub//b.v\ngone.v\n|lists/a.v |lists/sub/b.v "
      "|root2/data/file.txt x|root2/shared.txt second|root2/IPupdate.log updated\ncores_level=12\n"
      "|root2/mintaro/ip/orvane/cores_lib/my_core/core.xml |attr.xml <a x='1'><b y='2'/></a>"
      "|attr2.xml <a x='1'><b y='3'/></a>|bad.xml <a>\n<b></a>|plain.txt p\n"
      "|core.vhd linked\n# CRC: 97f8e5ec\n|changed.vhd linked\n# CRC: 97f8e5ec\nsignal s : bit;\n"
      "|comment.vhd linked\n# CRC: 97f8e5ec\n-- # another comment\n");
  for (std::string file; std::getline(files, file, '|');) {
    tree.WriteFile(file.substr(0, file.find(' ')), file.substr(file.find(' ') + 1));
  }
  tree.MakeDir("root1/shared.txt");
  const std::string fifo = kComponent + " --port dout:out:7:0 --port clk:in --port din:in:";
  ASSERT_EQ(0,
            Run(fifo + "7:0 -o reordered.xml") + Run(fifo + "15:0 -o wider.xml") +
                Run(kComponent + " --port clk:in --port din:in:7:0 --port dout:out:7:0 -o a.xml"));
  const std::string written = Read("a.xml");
  const std::string core = tree.Path("root2/mintaro/ip/orvane/cores_lib/my_core/core.xml") + "\n";
  const std::string missing = "cannot read missing.txt: No such file or directory";
  // The words, the standard input, the status, all of the standard output and error (or after a
  // '*' a part of it).
  const std::tuple<std::string, std::string, int, std::string, std::string> rows[] = {
      {"stamp --help", "", 0, "*Usage: mintu stamp FILE...", ""},
      // 2 for a malformed command line only; 1 for a well-formed request that fails.
      {"", "", 2, "", "*"},
      {"frobnicate", "", 2, "", "*"},
      {kComponent + " --vendor w", "", 2, "", "*"},
      {kComponent + " --port d:in:7", "", 1, "", "*"},
      {"version normalize 3.1 x3.1", "", 1, "3.1\n", "*ERROR: not a core version: x3.1"},
      {"-q version -- sort -", "2.0\n1.00.b\nabc\n1.0\n\n1.00.a\n", 0,
       "abc\n1.0\n1.00.a\n1.00.b\n2.0\n", ""},
      {"checksum core.vhd", "", 0, "97f8e5ec\n", ""},  // the stamp line left out
      // A changed data line fails; a changed comment does not.
      {"verify core.vhd changed.vhd comment.vhd plain.txt missing.txt", "", 1,
       "core.vhd: OK\nchanged.vhd: CHANGED (checksum does not match its stamp)\ncomment.vhd: OK\n"
       "plain.txt: OK (no stamp)\nmissing.txt: unreadable\n",
       "*ERROR: " + missing},
      {"verify -", "linked\n# CRC: 97F8E5EC\n", 0, "-: OK\n", ""},
      // One wording for the same failure in every command.
      {"checksum missing.txt", "", 1, "", "*" + missing},
      {"filelist missing.txt", "", 1, "", "*" + missing},
      {"stamp io", "", 1, "*", "*ERROR: cannot stamp io: Is a directory"},
      {"filelist /dev/null", "", 1, "", "*ERROR: "},  // an error issued by the library
      {"verify - -", "", 2, "", "*the standard input (-) may be named only once"},
      {kComponent + " --output=", "", 2, "", "*-o needs a file name"},
      {"filelist lists/files.lst", "", 0, "a.v\nsub" + SEP + "b.v\n",
       "*WARNING: Missing file list member"},
      {"filelist --full lists" + SEP + "files.lst", "", 0,  // the list's folder as given
       "lists" + SEP + "a.v\nlists" + SEP + "sub" + SEP + "b.v\n", "*WARNING"},
      {"filelist -", "lists/a.v\nio\nnone.v\n", 0, "lists" + SEP + "a.v\nio\n", "*WARNING"},
      {"expand ${ORVANE}/data/file.txt a${MINTU_TEST_UNSET_NAME}b", "", 0,
       tree.Path("root2/data/file.txt") + "\nab\n", ""},
      {"find shared.txt", "", 0, tree.Path("root1/shared.txt") + "\n", ""},
      // Global options anywhere, options as --name or -x, "--" before operands.
      {"--verbose find my_core/core.xml --container", "", 0, core, "*"},
      {"find -c --quiet -- my_core/core.xml", "", 0, core, ""},
      {"find nothing.txt", "", 1, "", "*ERROR: not found under the install roots: nothing.txt"},
      {"cores-level", "", 0, "Cores Update # 12\n", ""},
      {kComponent + " --port a\xc2\xa0:in", "", 1, "",
       "*--port: 'a\xc2\xa0' is not an XML name token"},
      {kComponent + " --description caf\xe9", "", 1, "",
       "*the value is not UTF-8 made of characters XML allows"},
      {kComponent + " --port c:sideways", "", 1, "", "*direction of port c 'sideways' is not one"},
      {"diff a.xml reordered.xml", "", 0, "", ""},
      {"diff a.xml wider.xml", "", 1,
       "*ports/spirit:port[3]/spirit:wire/spirit:vector/spirit:left\ndifferent text: \"7\" in "
       "a.xml, \"15\" in wider.xml\n",
       ""},
      {"diff attr.xml attr2.xml", "", 1,
       "*different attributes: y is \"2\" in attr.xml, \"3\" in attr2.xml\n", ""},
      {"diff a.xml bad.xml", "", 2, "", "*Cannot read bad.xml: line 2, column 6: mismatched tag"},
      // What mintu component wrote comes back byte for byte.
      {"format a.xml", "", 0, written, ""},
      {"format --sort -", "<r><b>2</b><a/><b>1</b></r>", 0,
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\n  <a/>\n  <b>1</b>\n  <b>2</b>\n</r>\n",
       ""},
      {"format -", "<r>text<a/></r>", 1, "", "*line 1, column 4: Mixed content"}};
  for (const auto& [line, input, status, wantOut, wantErr] : rows) {
    SCOPED_TRACE(line);
    EXPECT_EQ(status, Run(line, input));
    EXPECT_THAT(out, Expects(wantOut));
    EXPECT_THAT(err, Expects(wantErr));
  }
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
  ::chmod(tree.WriteFile("secret.txt", "linked\n").c_str(), 0600);
  ::chmod(tree.WriteFile("run.sh", "#!/bin/sh\n").c_str(), 0755);
  // Another owner, where we may give one.
  ASSERT_EQ(0, ::symlink("secret.txt", "link.txt"));
  ASSERT_EQ(0, ::geteuid() == 0 ? ::chown("run.sh", 1234, 5678) : 0);
  const std::string before = Attributes("secret.txt") + Attributes("run.sh");
  ASSERT_EQ(0, Run("stamp link.txt run.sh"));
  EXPECT_EQ(before, Attributes("secret.txt") + Attributes("run.sh"));
  EXPECT_EQ("#!/bin/sh\n# CRC:        0\n", Read("run.sh"));  // each operand stamped

  ::chmod(tree.WriteFile("ro.xml", "old").c_str(), 0444);
  tree.WriteFile("root1/shared.txt", "");
  // The words, a shell's preparation, the standard output's file, the error.
  const std::string rows[][4] = {
      {kComponent, "", "/dev/full", "cannot write standard output: No space left on device"},
      {"find shared.txt", "exec >&-;", "io/stdout",
       "cannot write standard output: Bad file descriptor"},
      {kComponent + " -o /dev/full", "", "io/stdout",
       "cannot write /dev/full: No space left on device"},
      {kComponent + " -o ro.xml", "", "io/stdout", "cannot write ro.xml: Permission denied"}};
  for (const auto& [line, shell, output, message] : rows) {
    SCOPED_TRACE(line);
    EXPECT_EQ(1, Run(line, "", shell, output));
    EXPECT_THAT(err, HasSubstr("ERROR: " + message));
  }
  EXPECT_EQ("old", Read("ro.xml"));
  // A file size limit stops the write half way: killed, or told (signal ignored).
  tree.WriteFile("out.xml", "old\n");
  const std::string big = kComponent + " -o out.xml --description " + std::string(4096, 'd');
  for (const char* shell : {"ulimit -f 1;", "trap '' XFSZ; ulimit -f 1;"}) {
    SCOPED_TRACE(shell);
    EXPECT_NE(0, Run(big, "", shell));
    EXPECT_EQ("old\n", Read("out.xml"));
    EXPECT_THAT(err, HasSubstr(shell[0] == 't' ? "cannot write out.xml: File too large" : ""));
  }
#endif
}

// Every kind of file, stamped by the library and by mintu (each its own
// copy): what it becomes, or why it is refused and left as it was.
TEST_F(MintuTool, StampsEveryKindOfFile) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs, devices, symbolic links, modes and extended attributes";
#else
  enum Kind { FILE, FIFO, DIR, DEVICE, HARD_LINK, SYMLINK, READ_ONLY, ATTRIBUTES, MISSING };
  const auto Attributes = [](const std::string& path) {  // names and values
    char names[1024] = {}, value[256];
    std::string all;
    const ssize_t size = ::listxattr(path.c_str(), names, sizeof names);
    for (const char* name = names; name < names + std::max<ssize_t>(size, 0);
         name += std::strlen(name) + 1) {
      const ssize_t length = ::getxattr(path.c_str(), name, value, sizeof value);
      all += std::string(name) + "=" + std::string(value, std::max<ssize_t>(length, 0)) + ";";
    }
    return all;
  };
  // An ACL granting group 1234 write access through its mask, as setfacl -m g:1234:rw writes it.
  const unsigned char acl[] = {2, 0,   0,   0,   1,   0,   6,  0, 255, 255, 255, 255, 4,   0,  4,
                               0, 255, 255, 255, 255, 8,   0,  6, 0,   210, 4,   0,   0,   16, 0,
                               6, 0,   255, 255, 255, 255, 32, 0, 4,   0,   255, 255, 255, 255};
  const std::string nul("ab\0c\n", 5);
  // The name, the content, the kind, the content after, the reason ("" stamped, "=" unchanged).
  const std::tuple<std::string, std::string, Kind, std::string, std::string> rows[] = {
      {"plain.txt", "a\nb\n", FILE, "a\nb\n# CRC: 9e83486d\n", ""},
      {"crlf.txt", "a\r\nb", FILE, "a\r\nb\r\n# CRC: 837ca9b1\r\n", ""},  // "a\rb\r"
      {"bom.spirit", "\xEF\xBB\xBF<r/>\n", FILE, "\xEF\xBB\xBF<r/>\n<!-- # CRC: b4ebab12 -->\n",
       ""},
      {"c3.XML", " \n <r>\n</r>", FILE, " \n <r>\n</r>\n<!-- # CRC: ff32d14b -->\n", ""},
      {"renew.xml", "<!-- # CRC: 00000000 -->\nlinked\n", FILE,
       "<!-- # CRC: 97f8e5ec -->\nlinked\n", ""},
      {"renew.txt", "a\r\n# CRC: 00000000\r\n", FILE, "a\r\n# CRC: 438e34a4\r\n", ""},
      {"upper.txt", "linked\n# CRC: 97F8E5EC\n", FILE, "linked\n# CRC: 97F8E5EC\n", "="},
      {"note.txt", "data\nsee # CRC: notes\n", FILE, "data\nsee # CRC: notes\n",
       "line 2 holds \"# CRC:\" that is not a stamp"},
      {"cr.txt", "x\n# CRC:\r12345678\n", FILE, "x\n# CRC:\r12345678\n", "line 2 holds"},
      {"binary.o", nul, FILE, nul, "a binary file (it holds NUL bytes)"},
      {"fifo", "", FIFO, "", "a FIFO (named pipe), not a regular file"},
      {"dir", "", DIR, "", "Is a directory"},
      {"zero", "", DEVICE, "", "a device, not a regular file"},
      {"linked.txt", "x\n", HARD_LINK, "x\n", "it has several hard links"},
      {"symlink.txt", "x\n", SYMLINK, "x\n# CRC: 8cdc1683\n", ""},
      {"ro.txt", "x\n", READ_ONLY, "x\n", "Permission denied"},
      {"acl.txt", "x\n", ATTRIBUTES, "x\n# CRC: 8cdc1683\n", ""},
      {"missing.txt", "", MISSING, "", "No such file or directory"}};
  for (const auto& [name, content, kind, after, reason] : rows) {
    for (const std::string library : {"library/", "tool/"}) {
      const std::string way = library + name + ".d/";
      SCOPED_TRACE(way);
      const std::string path = tree.Path(way + name), file = tree.Path(way + "file");
      tree.MakeDir(way);
      if (!content.empty()) tree.WriteFile(way + "file", content);
      ASSERT_EQ(0, kind == FIFO        ? ::mkfifo(path.c_str(), 0644)
                   : kind == DIR       ? ::mkdir(path.c_str(), 0755)
                   : kind == DEVICE    ? ::symlink("/dev/zero", path.c_str())
                   : kind == HARD_LINK ? ::link(file.c_str(), path.c_str())
                   : kind == SYMLINK   ? ::symlink("file", path.c_str())
                   : kind == MISSING   ? 0
                                       : ::rename(file.c_str(), path.c_str()));
      if (kind == READ_ONLY) ::chmod(path.c_str(), 0444);
      if (kind == ATTRIBUTES &&
          (::setxattr(path.c_str(), "user.origin", "test", 4, 0) != 0 ||
           ::setxattr(path.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) != 0)) {
        std::cout << "[  SKIPPED ] this file system refuses extended attributes\n";
        continue;
      }
      const std::string before = Attributes(path);
      if (library == "library/") {
        const Mintu::Utilities::StampResult result = Mintu::Utilities::StampFile(path);
        EXPECT_EQ(reason.size() > 1 ? Mintu::Utilities::STAMP_REFUSED
                  : reason.empty()  ? Mintu::Utilities::STAMP_WRITTEN
                                    : Mintu::Utilities::STAMP_UNCHANGED,
                  result.outcome);
        EXPECT_EQ(0u, result.reason.str().find(reason.size() > 1 ? reason : ""));
      } else {
        EXPECT_EQ(reason.size() > 1 ? 1 : 0, Run("stamp " + path));
        const std::string said = reason.empty()  ? ": stamped "
                                 : reason == "=" ? ": unchanged "
                                                 : "ERROR: cannot stamp " + path + ": " + reason;
        EXPECT_THAT(out + err, HasSubstr(said));
      }
      EXPECT_EQ(after, after.empty() ? "" : Read(path));
      EXPECT_EQ(before, Attributes(path));
      EXPECT_EQ(kind == SYMLINK || kind == DEVICE, std::filesystem::is_symlink(path));
      // No temporary file is left beside it.
      const long names = kind == MISSING ? 0 : kind == HARD_LINK || kind == SYMLINK ? 2 : 1;
      EXPECT_EQ(names, std::distance(std::filesystem::directory_iterator(tree.Path(way)), {}));
      // What was stamped validates; the kinds never read are refused by the checks too.
      const Mintu::Utilities::FileStamp checked = Mintu::Utilities::FileChecksum(path);
      if (reason.size() <= 1) {
        EXPECT_TRUE(checked.stamped);
        EXPECT_TRUE(checked.valid);
      }
      EXPECT_EQ(content.empty() ? reason : "", checked.reason.str());
    }
  }
#endif
}

TEST_F(MintuTool, OutputsValidateAgainstTheSchema) {
  const std::string schema = MINTU_SPIRIT_SCHEMA_DIR;
  if (schema.empty()) GTEST_SKIP() << "no SPIRIT 1.4 schema folder";
  const auto Valid = [&schema](const std::string& file) {  // says xmllint
    return !Spawn({"xmllint", "--noout", "--schema", schema + "/index.xsd", file}, file, "io/x");
  };
  ASSERT_EQ(0, Run(kComponent + " -o minimal.xml"));
  EXPECT_TRUE(Valid("minimal.xml"));
  ASSERT_EQ(0, Run("stamp minimal.xml"));  // inside a comment: still valid
  EXPECT_TRUE(Valid("minimal.xml"));
  // Non-ASCII name characters, options written both ways, texts to escape.
  ASSERT_EQ(0, Run("component --vendor=\xc3\xa9t\xc3\xa9.org --library ip --name=fi\xc2\xb7"
                   "fo --version 3.1 --description <a&\"b\"> -o - --param C_WIDTH:long:user=16 "
                   "--param C_NAME=a<b --param=C_FLAG:bool=true --port clk:in --port d:out:7:0"))
      << err;
  EXPECT_TRUE(Valid(tree.WriteFile("fifo.xml", out)));
  // mintu format keeps valid documents valid: these and the schema's examples.
  std::vector<std::string> inputs = {"minimal.xml", "fifo.xml"};
  for (const auto& entry : std::filesystem::directory_iterator(schema + "/examples")) {
    if (entry.path().extension() == ".xml") inputs.push_back(entry.path().string());
  }
  for (const std::string& input : inputs) {
    ASSERT_EQ(0, Run("format " + input)) << input << err;
    if (!Valid(input)) continue;
    EXPECT_TRUE(Valid(tree.WriteFile("formatted.xml", out))) << input;
  }
}

}  // namespace
