// Where Windows differs: drive letters, backslashes and UNC names in paths,
// ";" between install roots, empty environment variables, text-mode reading,
// 8-bit names in the ANSI code page and working directories on other drives.
// Built for Windows only.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mintu/Mintu_IPUpdateInfo.h"
#include "mintu/Mintu_SetWorkingDirectory.h"
#include "mintu/Mintu_Utilities.h"
#include "port/Port_Dir.h"
#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "port/Port_OrvanePath.h"
#include "support/TempInstallTree.h"

namespace {

using Mintu::Utilities;
using Port::File;
using Port::FileName;
using Text = Port::StringBase<char>;

TEST(Port_WindowsTest, NamesWithDrivesBackslashesAndUncPrefixes) {
  const struct {
    const char *path, *head, *tail, *native, *absolute, *independent;
  } cases[] = {
      {"C:\\a\\..\\b.txt", "C:\\a\\..\\", "b.txt", "C:\\a\\..\\b.txt", "C:\\b.txt",
       "C:/a/../b.txt"},
      {"C:/x//y/./z", "C:/x//y/./", "z", "C:\\x\\\\y\\.\\z", "C:\\x\\y\\z", "C:/x/y/./z"},
      {"\\\\server\\share\\a\\..\\f", "\\\\server\\share\\a\\..\\", "f",
       "\\\\server\\share\\a\\..\\f", "\\\\server\\share\\f",
       "/server/share/a/../f"},  // the leading pair collapses too
      {"D:\\a\\", "D:\\a\\", "", "D:\\a\\", "D:\\a\\", "D:/a/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const FileName name(c.path);
    EXPECT_EQ(name.GetHead(true, false), Text(c.head));
    EXPECT_EQ(name.GetTail(), Text(c.tail));
    EXPECT_EQ(name.MakeNative(), Text(c.native));
    EXPECT_EQ(name.GetAbsolutePath(false), Text(c.absolute));
    Text path(c.path);
    Utilities::GetPlatformIndependentPath(path);
    EXPECT_EQ(path, Text(c.independent));
  }
  // A drive's root keeps its separator; other heads lose theirs.
  EXPECT_EQ(FileName("C:\\f").GetHead(false, false), Text("C:\\"));
  EXPECT_EQ(FileName("C:\\a\\\\f").GetHead(false, false), Text("C:\\a"));
  EXPECT_TRUE(Utilities::IsTerminatedWithPathSeparator("C:\\"));
  EXPECT_FALSE(Utilities::IsTerminatedWithPathSeparator("C:"));

  // Relative to a directory of one drive, a name on another stays absolute.
  MintuTest::TempInstallTree tree;
  const std::string file = tree.WriteFile("r/sub/f.txt", "x");
  const std::string elsewhere =
      std::string(1, tree.base()[0] == 'Q' ? 'R' : 'Q') + ":\\r\\sub\\f.txt";
  EXPECT_EQ(Utilities::MakeRelativePath(tree.Path("r"), file), Text(".\\sub\\f.txt"));
  EXPECT_EQ(Utilities::MakeRelativePath(tree.Path("r"), elsewhere), Text(elsewhere));
}

TEST(Port_WindowsTest, RootsAndEnvironment) {
  MintuTest::TempInstallTree tree;
  tree.SetEnv("ORVANE", ";C:\\r1;;D:/r2;\\\\server\\share;");
  Port::PathList& roots = Port::OrvanePath::GetInstance();
  roots.Reload();
  EXPECT_EQ(roots.roots(), (std::vector<Text>{"C:\\r1", "D:/r2", "\\\\server\\share"}));

  // The C runtime keeps no empty variables: the empty text unsets, and a
  // reference to the variable expands to nothing, as for any unset one.
  tree.SetEnv("MINTU_WIN_EMPTY", "x");
  EXPECT_TRUE(Port_Env::SetEnv("MINTU_WIN_EMPTY", ""));
  EXPECT_EQ(Port_Env::GetEnv("MINTU_WIN_EMPTY"), nullptr);
  EXPECT_EQ(GetEnvironmentVariableA("MINTU_WIN_EMPTY", nullptr, 0), 0u);
  EXPECT_EQ(Utilities::ExpandEnvironment("a${MINTU_WIN_EMPTY}b"), Text("ab"));
}

TEST(Port_WindowsTest, TextModeReadsCrLfAsOneLineEnd) {
  MintuTest::TempInstallTree tree;
  const std::string path = tree.WriteFile("crlf.txt", "a\r\n\r\nb\r\nc");
  for (const bool textMode : {true, false}) {
    Port::Stream* stream = File::open(Text(path), File::ACCESS_READ, textMode);
    ASSERT_NE(stream, nullptr);
    std::string lines;
    for (Text line; !stream->geteof(); lines += "|") {
      stream->readline(line);
      lines += line.str();
    }
    EXPECT_TRUE(File::close(stream));
    EXPECT_EQ(lines, textMode ? "a||b|c|" : "a\r|\r|b\r|c|");
  }
  // The update log is read in text mode: its level has no carriage return.
  tree.WriteFile("root/IPupdate.log", "updated\r\ncores_level=12\r\n");
  tree.SetRoots({"root"});
  Text level;
  EXPECT_EQ(Mintu::IPUpdateInfo::GetCoresLevel(level), Mintu::IPUpdateInfo::LEVEL_READ);
  EXPECT_EQ(level, Text("Cores Update # 12"));
}

TEST(Port_WindowsTest, EightBitNamesUseTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 1252";
  MintuTest::TempInstallTree tree;
  const std::string name = "caf\xE9 \xA7.txt";  // both in code page 1252
  const std::string dir = tree.MakeDir("d");
  const std::string path = dir + "\\" + name;
  Port::Stream* out = File::open(Text(path), File::ACCESS_WRITE, false);
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->write("x", 1) && File::close(out));
  // The same bytes name the same file for the system's own ANSI calls.
  EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
  std::vector<std::string> names;
  for (const char* listed : UT_DIR(Text(dir), UT_DIR::ALL_ENTRIES)) names.push_back(listed);
  EXPECT_EQ(names, std::vector<std::string>{name});
}

TEST(Port_WindowsTest, WorkingDirectoryOnAnotherDrive) {
  MintuTest::TempInstallTree tree;
  ASSERT_TRUE(File::chdir(Text(tree.base())));
  std::string root;
  for (char letter = 'C'; letter <= 'Z' && root.empty(); ++letter) {
    const std::string candidate = std::string(1, letter) + ":\\";
    if ((GetLogicalDrives() & (1u << (letter - 'A'))) != 0 && letter != tree.base()[0] &&
        GetDriveTypeA(candidate.c_str()) == DRIVE_FIXED) {
      root = candidate;
    }
  }
  if (root.empty()) GTEST_SKIP() << "no second fixed drive";
  {
    const Mintu::SetWorkingDirectory guard(Text(root.c_str()));
    EXPECT_EQ(File::getcwd(), Text(root));
    EXPECT_EQ(guard.GetTargetDirectory(), Text(root));
  }
  EXPECT_EQ(File::getcwd(), Text(tree.base()));
}

}  // namespace
