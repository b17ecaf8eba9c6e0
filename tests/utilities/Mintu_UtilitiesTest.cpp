// Utilities, the safe file layer under its stamps, the working-directory guard and the update
// level, on real files, directories, environment variables and install roots in a temporary tree.

#include "mintu/Mintu_Utilities.h"

#include <gtest/gtest.h>
#include <zlib.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "mintu/Mintu_IPUpdateInfo.h"
#include "mintu/Mintu_SetWorkingDirectory.h"
#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "port/Port_SafeFile.h"
#include "port/Port_Version.h"
#include "support/IssuedMessages.h"
#include "support/LoggerLevel.h"
#include "support/TempInstallTree.h"

using Mintu::DebugMessenger;
using Mintu::StringBase;
using Mintu::Utilities;
using Texts = std::vector<std::string>;

namespace {

const std::string SEP(1, Port::FileName::GetPathSeparator());

std::string Trace(const std::string& text) { return "DEBUG[utilities] - " + text; }

class UtilitiesTest : public MintuTest::IssuedMessages {
 protected:
  Texts Errors(const char* f = "Mintu_Utilities") const { return issued.Texts(PORT_MSG_ERROR, f); }
  Texts Warnings() const { return issued.Texts(PORT_MSG_WARNING, "Mintu_Utilities"); }
  Texts Traces() const { return issued.Texts(PORT_MSG_STATUS); }

  MintuTest::TempInstallTree tree;
  MintuTest::LoggerLevel verbose{"utilities", DebugMessenger::DEBUG_VERBOSE};
};

TEST_F(UtilitiesTest, PathsAsTextsAndOfRealFiles) {
  StringBase mixed("\\\\server\\share/a/////b\\/\\c/");
  Utilities::GetPlatformIndependentPath(mixed);
  EXPECT_EQ("/server/share/a/b/c/", mixed.str());
  for (const char* yes : {"a\\", "/"}) EXPECT_TRUE(Utilities::IsTerminatedWithPathSeparator(yes));
  for (const char* no : {"", "a\\b"}) EXPECT_FALSE(Utilities::IsTerminatedWithPathSeparator(no));
  const std::string dir = tree.MakeDir("d/sub"), file = tree.WriteFile("d/f.txt", "x");
  ASSERT_TRUE(Port::File::chdir(tree.Path("d")));
  const std::tuple<StringBase (*)(const StringBase&), std::string, std::string> cases[] = {
      // A separator goes to directories and missing names, never to files.
      {Utilities::TerminateWithPathSeparator, dir, dir + SEP},
      {Utilities::TerminateWithPathSeparator, tree.Path("missing"), tree.Path("missing") + SEP},
      {Utilities::TerminateWithPathSeparator, file, file},
      // Relative to the working directory; directories get exactly one separator.
      {Utilities::GetAbsolutePath, "./sub//", dir + SEP},
      {Utilities::GetAbsolutePath, "sub/../f.txt", file},
      {Utilities::GetAbsolutePath, "none.txt", tree.Path("d/none.txt")},
      {Utilities::GetAbsoluteDirectory, "sub", dir + SEP},
      {Utilities::GetAbsoluteDirectory, "f.txt", tree.Path("d") + SEP}};
  for (const auto& [function, in, out] : cases) EXPECT_EQ(out, function(in).str()) << in;

  const std::string d = tree.Path("d"), h = tree.Path("dx/h.txt"), dot = "." + SEP;
  // The directory's own text again, deeper down: only the prefix goes.
  const std::string nested = d.substr(d.find_first_of("/\\") + 1) + SEP + "n.txt";
  // A directory given by one of its files, or a missing one, is a whole path
  // component: it claims neither "dx" nor a doubled separator.
  const std::string relative[][3] = {{d, dir, dot + "sub" + SEP},
                                     {d, d + "/" + nested, dot + nested},
                                     {"", "f.txt", file},
                                     {file, d + "/sub/x.v", dot + "sub" + SEP + "x.v"},
                                     {d, h, h},
                                     {tree.Path("d/missing"), h, h}};
  for (const auto& c : relative) {
    EXPECT_EQ(c[2], Utilities::MakeRelativePath(c[0], c[1]).str()) << c[0] << " " << c[1];
  }
  // Links are kept as written, not resolved.
  std::error_code error;
  std::filesystem::create_directory_symlink(dir, tree.Path("d/link"), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  EXPECT_EQ(tree.Path("d/link/x.v"), Utilities::GetAbsolutePath("link/x.v").str());
}

TEST_F(UtilitiesTest, LookupsTakeTheFirstRootThatHoldsTheName) {
  const std::string lib = "/mintaro/ip/orvane/";
  tree.MakeDir("root1/shared");            // a directory in the first root...
  tree.WriteFile("root2/shared", "file");  // ...and a file of that name in the second
  tree.WriteFile("root2/data/file.txt", "x");
  tree.WriteFile("root2" + lib + "b_lib/data/core.mpd", "b");
  tree.WriteFile("root2" + lib + "a_lib/data/core.mpd", "a");
  tree.WriteFile("root3" + lib + "a_lib/data/late.mpd", "x");
  tree.SetRoots({"absent", "root1", "root2", "root3"});
  // In the core libraries or not, the name, where it is found (in the tree; null: not found).
  const std::tuple<bool, std::string, const char*> cases[] = {
      {false, "shared", "root1/shared"},
      {false, "data/file.txt", "root2/data/file.txt"},
      {false, "nowhere.txt", nullptr},
      // In the core libraries: by root, then by listing order.
      {true, "data/core.mpd", "root2/mintaro/ip/orvane/a_lib/data/core.mpd"},
      {true, "data/late.mpd", "root3/mintaro/ip/orvane/a_lib/data/late.mpd"},
      {true, "doc.txt", nullptr}};
  for (const auto& [inContainer, name, expected] : cases) {
    issued.Clear();
    StringBase found("untouched");
    EXPECT_EQ(expected != nullptr, inContainer
                                       ? Utilities::GetFullOrvanePathWithContainer(name, found)
                                       : Utilities::GetFullOrvanePathOf(name, found));
    EXPECT_EQ(expected ? tree.Path(expected) : "untouched", found.str()) << name;
    EXPECT_EQ(Texts{Trace(expected ? "Looking for " + name + "\nFound " + found.str() + "\n"
                                   : "Could not find " + name + "\n")},
              Traces());
  }
  // The Java program of this platform.
  const std::string java = std::string("/java/") + Port_Env::GetPlatformPath() + "/jre/bin/java" +
                           (Port_Env::IsNt() ? ".exe" : "");
  tree.WriteFile("root3" + java, "x");
  StringBase found;
  EXPECT_TRUE(Utilities::GetJavaExecutablePath(found));
  EXPECT_EQ(tree.Path("root3" + java), found.str());
}

TEST_F(UtilitiesTest, ExpansionIsOnePassAndLooksUpLeadingOrvanes) {
  tree.WriteFile("root2/data/file.txt", "x");
  tree.WriteFile("root1/data/digits/one.txt", "x");
  tree.SetRoots({"root1", "root2"});
  tree.SetEnv("MINTU_T_HOME", "/h");
  tree.SetEnv("MINTU_T_REF", "${MINTU_T_HOME}");
  tree.SetEnv("MINTU_T_UNSET", nullptr);
  tree.SetEnv("ORVANE", "/env/orvane");
  tree.SetEnv("mintu_t_9", "digits");
  const std::string expansions[][2] = {
      {"a${MINTU_T_HOME}b${MINTU_T_HOME}c", "a/hb/hc"},
      {"${MINTU_T_REF}/y", "${MINTU_T_HOME}/y"},  // values are not expanded again
      {"[${MINTU_T_UNSET}][${}]${mintu_t_9}", "[][]digits"},
      {"$MINTU_T_HOME/x${MINTU.T}${MINTU-T}${MINTU_T_HOME",
       "$MINTU_T_HOME/x${MINTU.T}${MINTU-T}${MINTU_T_HOME"},
      {"%s%n ${ORVANE}", "%s%n /env/orvane"},  // not at the start: an ordinary variable
      // At the start, the rest is looked up under the install roots.
      {"${ORVANE}/data/file.txt", tree.Path("root2/data/file.txt")},
      {"${ORVANE}data/${mintu_t_9}/one.txt", tree.Path("root1/data/digits/one.txt")},
      {"${ORVANE}/data/none.txt", ""}};
  for (const auto& c : expansions) EXPECT_EQ(c[1], Utilities::ExpandEnvironment(c[0]).str());
  // So many leading references that a lookup each in recursion would exhaust the stack.
  tree.SetRoots({});
  std::string many;
  for (int i = 0; i < 120000; ++i) many += "${ORVANE}";
  MintuTest::LoggerLevel quiet("utilities", DebugMessenger::DEBUG_OFF);
  EXPECT_LT(Utilities::ExpandEnvironment(many + "/data/none.txt").GetLength(), 4096u);
}

TEST_F(UtilitiesTest, NextMajorRelease) {
  // No 32-bit wrap; a major too big to read is kept; no minor, no next release.
  for (const std::string c :
       {"12.3>13.1", "9.0>10.1", "14.2.1_p3>15.1", ".5>1.1", "beta.2>beta.1", "-3.0>-2.1",
        "2147483647.0>2147483648.1", "99999999999.0>99999999999.1", "14>"}) {
    Port::Version::setValue("version", c.substr(0, c.find('>')));
    EXPECT_EQ(c.substr(c.find('>') + 1), Utilities::NextMajorRelease().str());
  }
  EXPECT_EQ(Texts{Trace("Failed to split extract major version from 14\n.\n")}, Traces());
}

// The stamp's checksum text of `data`, computed with zlib.
std::string Crc(const std::string& data) {
  char text[16];
  std::snprintf(text, sizeof text, "%8x",
                static_cast<unsigned int>(
                    crc32_z(0L, reinterpret_cast<const Bytef*>(data.data()), data.size())));
  return text;
}

// Whether a file holding `text` validates, whatever `valid` held before.
bool Validates(const MintuTest::TempInstallTree& tree, const std::string& text) {
  const std::string path = tree.WriteFile("stamped.txt", text);
  bool fromTrue = true, fromFalse = false;
  EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, fromTrue));
  EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, fromFalse));
  EXPECT_EQ(fromTrue, fromFalse);
  return fromTrue;
}

TEST_F(UtilitiesTest, ChecksumOfTheDataLines) {
  const std::string sums[][2] = {
      {"", "       0"},
      {"# only\n  # comments\n\n", "       0"},
      {"# head\nalpha\n\n# CRC: 12345678\nbeta", "281dec23"},  // "alphabeta"
      {"alpha \nbeta\nvalue # 3\n", "df4dce1e"},               // "alpha beta"
      {std::string("a\0b\r\n\xff\xfe", 7), "22bcf3ee"}};       // "a\0b\r\xff\xfe"
  for (const auto& c : sums) {
    StringBase checksum("unchanged");
    EXPECT_EQ(0u, Utilities::CalculateChecksum(c[0], checksum));
    EXPECT_EQ(c[1], checksum.str()) << c[0];
  }
}

// The first stamp counts: its tag, one byte, eight bytes of the lines, "\n" ended.
TEST_F(UtilitiesTest, ValidationByTheFirstStamp) {
  const std::string body = "module top;\n  wire a;\nendmodule\n", crc = "63214ebe";
  const std::string big(300000, 'b'), bigCrc = Crc(big + "tail");
  const std::tuple<const char*, std::string, bool> cases[] = {
      {"stamp last, no final line feed", body + "# CRC: " + crc, true},
      {"any separator byte, upper case", body + "# CRC:\t63214EBE end\n", true},
      {"tag inside a line", "-- # CRC: " + crc + "\n" + body, true},
      {"second stamp ignored", body + "# CRC: " + crc + "\n# CRC: deadbeef\n", true},
      {"second stamp not used", body + "# CRC: deadbeef\n# CRC: " + crc + "\n", false},
      {"data changed", "# CRC: " + crc + "\nmodule top;\n  wire b;\nendmodule\n", false},
      {"empty file", "", true},
      {"blank padding", "line x\n# CRC:  4692fe9", true},  // only blanks pad
      {"zero padding", "line x\n# CRC: 04692fe9", false},
      {"crlf lines", "a\r\nb\r\n# CRC: 837ca9b1\r\n", true},  // "a\rb\r"
      {"checksum cut by the line end", body + "# CRC: 6321\n4ebe\n", false},
      {"leading blank in the stamp", body + "# CRC:  " + crc + "\n", false},
      // Lines longer than a reading block, the stamp after a "#" in one.
      {"long lines", big + "\n# CRC: " + bigCrc + "\ntail\n", true},
      {"second # of a long line", "#" + big + " # CRC: " + bigCrc + "\n" + big + "tail", true},
      {"stamp in binary data", std::string("\0\xff\n", 3) + "# CRC: 1234abcd\n\xfe", false}};
  for (const auto& [name, text, valid] : cases) EXPECT_EQ(valid, Validates(tree, text)) << name;
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(UtilitiesTest, FilesThatCannotBeOpenedAreNotValid) {
  for (const std::string& name :
       {tree.Path("missing.txt"), tree.MakeDir("dir"), tree.Path(std::string(5000, 'n'))}) {
    issued.Clear();
    bool valid = true;
    EXPECT_EQ(1u, Utilities::ValidateFileChecksum(name, valid));
    EXPECT_FALSE(valid);
    EXPECT_EQ(Texts{"Could not open " + name + "\n"}, Errors());
  }
  EXPECT_EQ(0, Port::File::openStreamCount());
}

TEST_F(UtilitiesTest, StampsAtEveryPlaceAroundTheReadingBlocks) {
  // The file is read in blocks of some power of two: the stamp and data lines
  // before and after it are put across each such boundary byte by byte.
  const std::string after = "after\r\n\n" + std::string("n\0l", 3) + "\n# c\nlast, no line feed";
  const std::string afterData = "after\r" + std::string("n\0l", 3) + "last, no line feed";
  for (std::size_t boundary : {std::size_t(1) << 16, std::size_t(1) << 17}) {
    for (std::size_t back = 0; back <= 17; ++back) {
      for (const std::string lead : {"", "x "}) {
        const std::size_t size = boundary - back - lead.size();
        // Lines of ten bytes after one that takes the odd bytes.
        std::string data(size % 10 ? size % 10 - 1 : 0, 'p'), before = size % 10 ? data + "\n" : "";
        for (int i = 0; before.size() < size; ++i) {
          before += i % 3 ? std::string("data\r\0xyz\n", 10) : "# comment\n";
          if (i % 3) data += std::string("data\r\0xyz", 9);
        }
        const std::string good = before + lead + "# CRC: " + Crc(data + afterData) + "\n" + after;
        std::string bad = good;
        bad.back() ^= 1;
        SCOPED_TRACE(std::to_string(boundary) + " - " + std::to_string(back) + lead);
        EXPECT_TRUE(Validates(tree, good));
        EXPECT_FALSE(Validates(tree, bad));
      }
    }
  }
  EXPECT_TRUE(issued.messages().empty());
}

void AppendLine(const std::string& path) {
  std::ofstream(path, std::ios::app | std::ios::binary) << "appended\n";
}

// A file another process appends to while it is stamped keeps the append and
// no stamp; a stamp killed before its rename leaves no temporary file.
TEST_F(UtilitiesTest, StampsLoseNoChangeAndLeaveNothingBehind) {
  const std::string path = tree.WriteFile("s/core.vhd", "linked\n");
  Port::SafeFile::Replacement::setBeforeReplaceHook(AppendLine);
  const Utilities::StampResult result = Utilities::StampFile(path);
  Port::SafeFile::Replacement::setBeforeReplaceHook(nullptr);
  EXPECT_EQ(Utilities::STAMP_REFUSED, result.outcome);
  EXPECT_EQ("it changed while it was being rewritten, and was left as it is", result.reason.str());
  EXPECT_EQ("linked\nappended\n", tree.ReadFile(path));
#ifndef _WIN32
  const pid_t child = ::fork();
  if (child == 0) {
    Port::SafeFile::Replacement::setBeforeReplaceHook(
        [](const std::string&) { std::raise(SIGTERM); });
    Utilities::StampFile(path);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(SIGTERM, WTERMSIG(status));
  EXPECT_EQ("linked\nappended\n", tree.ReadFile(path));
  struct sigaction action = {};  // the handler is gone again from this process
  ::sigaction(SIGTERM, nullptr, &action);
  EXPECT_EQ(SIG_DFL, action.sa_handler);
#endif
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(tree.Path("s")), {}));
  EXPECT_TRUE(issued.messages().empty());
}

#ifndef _WIN32
using SafeFileTest = UtilitiesTest;

// Made a FIFO after it was examined: refused once open, before a read could wait for a writer.
TEST_F(SafeFileTest, ReaderRefusesWhatTheOpenedFileIsNow) {
  const std::string path = tree.WriteFile("f", "regular");
  Port::SafeFile::Target target;
  ASSERT_EQ(0, Port::SafeFile::inspect(path, target));
  ASSERT_EQ(0, ::unlink(path.c_str()));
  ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600));
  Port::SafeFile::Reader reader;
  EXPECT_EQ(Port::SafeFile::FIFO, reader.open(target));
}

// Standard input closed for the scope, then put back.
struct StdinClosed {
  const int saved = ::dup(0);
  StdinClosed() { ::close(0); }
  ~StdinClosed() {
    ::close(0);  // whatever the test left there
    if (saved >= 0 && ::dup2(saved, 0) == 0) ::close(saved);
  }
};

// Descriptor 0 is an ordinary one: the file read and the temporary file written may get it, and
// must let it go; held by another file, it is not theirs to close.
TEST_F(SafeFileTest, DescriptorZeroIsAnOrdinaryOne) {
  const std::string path = tree.WriteFile("d/f", "old");
  const StdinClosed closed;
  EXPECT_TRUE(Utilities::FileChecksum(path).read);
  EXPECT_EQ(-1, ::fcntl(0, F_GETFD)) << "the reader kept descriptor 0";
  EXPECT_EQ(0, Port::SafeFile::write(path, "new", 3));
  EXPECT_EQ("new", tree.ReadFile(path));
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(tree.Path("d")), {}));
  ASSERT_EQ(0, ::open(path.c_str(), O_RDONLY));
  EXPECT_EQ(0, Port::SafeFile::write(path, "newer", 5));
  EXPECT_NE(-1, ::fcntl(0, F_GETFD)) << "the replacement closed descriptor 0";
}
#endif

TEST_F(UtilitiesTest, FileListsKeepExistingMembersCleaned) {
  for (const char* member : {"a.v", "sub/b.v", "sub/c.vhd", "name with blank.v", "sub/d#.v"}) {
    tree.WriteFile(std::string("lists/") + member, "");
  }
  // Lines end with LF or with CR LF (lists written on Windows).
  const std::string list =
      tree.WriteFile("lists/files.lst",
                     "# sources\r\n\na.v # top\r\n\t sub//b.v\t\r\nmissing.v\nsub\\\\c.vhd  \n"
                     "   \t  \r\nname with blank.v\r\n\tname\twith blank.v\nsub/d#.v\n#a.v\na.v");
  const std::string s = Port_Env::IsNt() ? "\\" : "/", blank = "name with blank.v";
  EXPECT_EQ(
      (std::vector<StringBase>{"a.v", "sub" + s + "b.v", "sub" + s + "c.vhd", blank, blank, "a.v"}),
      Utilities::GetFileListFileStrings(Port::FileName(list.c_str())));
  // The "#" cuts "sub/d#.v" to "sub/d", which does not exist.
  EXPECT_EQ((Texts{"Missing file list member " + tree.Path("lists/missing.v") + "\n",
                   "Missing file list member " + tree.Path("lists/sub/d") + "\n"}),
            Warnings());
  EXPECT_EQ(Texts{Trace("Reading file list " + list + "\n")}, Traces());
  EXPECT_TRUE(Errors().empty());

  // Members are relative to the list, not to the working directory.
  ASSERT_TRUE(Port::File::chdir(tree.base()));
  const std::vector<Port::FileName> names = Utilities::GetFileListFileNames("lists/files.lst");
  ASSERT_EQ(6u, names.size());
  EXPECT_EQ(Port::FileName("lists/a.v").GetFullPath(), names[5].GetFullPath());
}

TEST_F(UtilitiesTest, UnreadableFileListsGiveNoMembers) {
  for (const std::string& bad : {tree.Path("lists/missing.lst"), tree.MakeDir("lists/dir.lst")}) {
    issued.Clear();
    EXPECT_TRUE(Utilities::GetFileListFileStrings(Port::FileName(bad.c_str())).empty());
    EXPECT_EQ(Texts{"Cannot read " + bad + "\n"}, Errors());
  }
  issued.Clear();
  // A NUL byte ends the name at the operating system, so such a line must not
  // pass for the file named by its first part.
  tree.WriteFile("lists/a.v", "");
  const std::string odd = tree.WriteFile(
      "lists/odd.lst", std::string("a.v\0junk\n", 9) + std::string(1 << 20, 'm') + "\n\xff\n#\n");
  EXPECT_TRUE(Utilities::GetFileListFileStrings(Port::FileName(odd.c_str())).empty());
  EXPECT_EQ(3u, Warnings().size());
  EXPECT_EQ(0, Port::File::openStreamCount());
  // A read error is reported when the list is closed; the path stays as given.
  if (Port_Env::IsNt() || !Port::File::canread("/proc/self/mem")) GTEST_SKIP() << "Linux only";
  Utilities::GetFileListFileStrings(Port::FileName("/proc/self/mem"));
  EXPECT_EQ(Texts{"Cannot close /proc/self/mem\n"}, Errors());
}

using SetWorkingDirectoryTest = UtilitiesTest;

std::string Cwd() { return Port::File::getcwd().str() + SEP; }

// Each guard changes for its scope and back; nested guards unwind in order; a missing directory is
// reported (whatever the logger's level) and changes nothing.
TEST_F(SetWorkingDirectoryTest, ChangesForTheScopeAndBackUnlessTheDirectoryIsMissing) {
  const std::string base = tree.base() + SEP, core = tree.MakeDir("core") + SEP;
  tree.MakeDir("core/work");
  tree.WriteFile("core/core.mpd", "x");
  ASSERT_TRUE(Port::File::chdir(base));
  for (const Texts& c :
       {Texts{"core/work", core + "work" + SEP}, Texts{"", base}, Texts{"core/core.mpd", core}}) {
    issued.Clear();
    {
      Mintu::SetWorkingDirectory guard(c[0]);
      EXPECT_EQ(c[1], Cwd());
      guard.Reconfirm();  // already there: nothing to say
    }
    EXPECT_EQ(base, Cwd());
    EXPECT_EQ((Texts{Trace("Current working directory set to " + c[1] + "\n"),
                     Trace("Current working directory reverted to " + base + "\n")}),
              Traces());
  }
  issued.Clear();
  MintuTest::LoggerLevel off("utilities", DebugMessenger::DEBUG_OFF);
  {
    Mintu::SetWorkingDirectory outer("core/work");
    Mintu::SetWorkingDirectory missing("inner/no/such");
    EXPECT_EQ(core + "work" + SEP, Cwd());
  }
  EXPECT_EQ(base, Cwd());
  EXPECT_EQ(
      Texts{"Unable to set working directory to " + tree.Path("core/work/inner/no/such") + "\n"},
      Errors("Mintu_SetWorkingDirectory"));
  EXPECT_TRUE(Traces().empty());
}

TEST_F(SetWorkingDirectoryTest, DirectoriesThatMoveOrDisappearAreReportedNotThrown) {
  const std::string base = tree.base() + SEP, a = tree.MakeDir("a"), b = tree.MakeDir("b");
  ASSERT_TRUE(Port::File::chdir(b));
  {
    Mintu::SetWorkingDirectory guard(a);
    ASSERT_TRUE(Port::File::chdir(base));
    guard.Reconfirm();
    EXPECT_EQ(a + SEP, Cwd());
    EXPECT_TRUE(Errors("Mintu_SetWorkingDirectory").empty()) << "a change back that worked";
    // The guarded directory, then the previous one, gone: reported, not thrown.
    ASSERT_TRUE(Port::File::chdir(base));
    std::filesystem::remove(a);
    std::filesystem::remove(b);
    guard.Reconfirm();
  }
  EXPECT_EQ(base, Cwd());
  EXPECT_EQ((Texts{"Unable to reset working directory to " + a + SEP + "\n",
                   "Unable to revert working directory to " + b + SEP + "\n"}),
            Errors("Mintu_SetWorkingDirectory"));
}

TEST_F(SetWorkingDirectoryTest, UnreadableCurrentDirectoryReachesTheCaller) {
  ASSERT_TRUE(Port::File::chdir(tree.MakeDir("removed")));
  std::error_code error;
  if (!std::filesystem::remove(tree.Path("removed"), error)) {
    GTEST_SKIP() << "the current directory cannot be removed here: " << error.message();
  }
  EXPECT_THROW(Mintu::SetWorkingDirectory guard(tree.base()), std::exception);
}

TEST_F(UtilitiesTest, CoresLevelIsTheFirstTaggedLineOfTheFirstReadableLog) {
  const std::string level = "Cores Update # ";
  const std::string cases[][2] = {
      {"updated\nby tool\ncores_level=5", level + "5"},  // no final line feed
      {"updated\r\ncores_level=12\r\n", level + "12"},
      {"cores_level=3\ncores_level=4\n", level + "3"},
      {"date 2010\nlevel cores_level= 7 \n", level + " 7 "},
      {"cores_level=\n", level},
      {"cores level=1\nCORES_LEVEL=2\n", "untouched"},  // the tag missing
      {std::string("\0\xff\ncores_level=\x02\0x", 18), level + std::string("\x02\0x", 3)}};
  tree.WriteFile("root3/IPupdate.log", "cores_level=3\n");
  tree.MakeDir("root1/IPupdate.log");  // a directory is not a readable log
  for (const auto& c : cases) {
    tree.SetRoots({"absent", "root1", "root2", "root3"});
    tree.WriteFile("root2/IPupdate.log", c[0]);  // read, even without the tag
    StringBase found("untouched");
    EXPECT_EQ(
        c[1] == "untouched" ? Mintu::IPUpdateInfo::LEVEL_MISSING : Mintu::IPUpdateInfo::LEVEL_READ,
        Mintu::IPUpdateInfo::GetCoresLevel(found));
    EXPECT_EQ(c[1], found.str()) << c[0].substr(0, 20);
    tree.SetRoots({"root1", "x"});
    EXPECT_EQ(Mintu::IPUpdateInfo::LOG_MISSING, Mintu::IPUpdateInfo::GetCoresLevel(found));
    EXPECT_EQ(c[1], found.str());
  }
  EXPECT_TRUE(issued.messages().empty());
  EXPECT_EQ(0, Port::File::openStreamCount());
}

}  // namespace
