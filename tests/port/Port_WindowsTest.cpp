// Where Windows differs: drive letters, backslashes and UNC names, ";" between install roots,
// empty variables, text-mode reading, 8-bit names in the ANSI code page and working
// directories on other drives.
#include <windows.h>

#include <gtest/gtest.h>

#include "mintu/Mintu_SetWorkingDirectory.h"
#include "port/Port_Dir.h"

#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "port/Port_OrvanePath.h"
#include "support/TempInstallTree.h"

using Port::File;
using Port::FileName;
using Text = Port::StringBase<char>;

TEST(Port_WindowsTest, NamesWithDrivesBackslashesAndUncPrefixes) {
  // Head, tail and absolute path.
  const char* const cases[][2] = {
      {"C:\\a\\..\\b.txt", "C:\\a\\..\\|b.txt|C:\\b.txt"},
      {"C:/x//y/./z", "C:/x//y/./|z|C:\\x\\y\\z"},
      {"\\\\server\\share\\a\\..\\f", "\\\\server\\share\\a\\..\\|f|\\\\server\\share\\f"},
      {"D:\\a\\", "D:\\a\\||D:\\a\\"}};
  for (const auto& c : cases) {
    const FileName name(c[0]);
    EXPECT_EQ(name.GetHead(true, false).str() + "|" + name.GetTail().str() + "|" +
                  name.GetAbsolutePath(false).str(),
              c[1]);
  }
  EXPECT_EQ(FileName("C:/a\\b/c.txt").MakeNative(), Text("C:\\a\\b\\c.txt"));
  // A drive's root keeps its separator; other heads lose theirs.
  EXPECT_EQ(FileName("C:\\f").GetHead(false, false), Text("C:\\"));
  EXPECT_EQ(FileName("C:\\a\\\\f").GetHead(false, false), Text("C:\\a"));
}

TEST(Port_WindowsTest, RootsAndEnvironment) {
  MintuTest::TempInstallTree tree;
  tree.SetEnv("ORVANE", ";C:\\r1;;D:/r2;\\\\server\\share;");
  Port::PathList& roots = Port::OrvanePath::GetInstance();
  roots.Reload();
  EXPECT_EQ(roots.roots(), (std::vector<Text>{"C:\\r1", "D:/r2", "\\\\server\\share"}));
  // The C runtime keeps no empty variables: the empty text unsets.
  tree.SetEnv("MINTU_WIN_EMPTY", "x");
  EXPECT_TRUE(Port_Env::SetEnv("MINTU_WIN_EMPTY", ""));
  EXPECT_EQ(Port_Env::GetEnv("MINTU_WIN_EMPTY"), nullptr);
}

TEST(Port_WindowsTest, TextModeReadsCrLfAsOneLineEnd) {
  MintuTest::TempInstallTree tree;
  const std::string path = tree.WriteFile("crlf.txt", "a\r\n\r\nb\r\nc");
  for (const bool textMode : {true, false}) {
    Port::Stream* stream = File::open(Text(path), File::ACCESS_READ, textMode);
    std::string lines;
    for (Text line; stream != nullptr && !stream->geteof(); lines += "|") {
      stream->readline(line);
      lines += line.str();
    }
    EXPECT_TRUE(File::close(stream));
    EXPECT_EQ(lines, textMode ? "a||b|c|" : "a\r|\r|b\r|c|");
  }
}

TEST(Port_WindowsTest, EightBitNamesUseTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 1252";
  MintuTest::TempInstallTree tree;
  const std::string dir = tree.MakeDir("d"), name = "caf\xE9 \xA7.txt";  // both in 1252
  Port::Stream* out = File::open(Text(dir + "\\" + name), File::ACCESS_WRITE, false);
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->write("x", 1));
  EXPECT_TRUE(File::close(out));
  // The same bytes name the same file for the system's own ANSI calls and for the listing.
  EXPECT_NE(GetFileAttributesA((dir + "\\" + name).c_str()), INVALID_FILE_ATTRIBUTES);
  std::vector<std::string> names;
  for (const std::string& listed : UT_DIR(Text(dir), UT_DIR::ALL_ENTRIES)) names.push_back(listed);
  EXPECT_EQ(names, std::vector<std::string>{name});
}

TEST(Port_WindowsTest, WorkingDirectoryOnAnotherDrive) {
  MintuTest::TempInstallTree tree;
  ASSERT_TRUE(File::chdir(Text(tree.base())));
  std::string root;
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'C'; letter <= 'Z' && root.empty(); ++letter) {
    const std::string candidate = std::string(1, letter) + ":\\";
    if ((drives & (1u << (letter - 'A'))) != 0 && letter != tree.base()[0] &&
        GetDriveTypeA(candidate.c_str()) == DRIVE_FIXED) {
      root = candidate;
    }
  }
  if (root.empty()) GTEST_SKIP() << "no second fixed drive";
  {
    const Mintu::SetWorkingDirectory guard(Text(root.c_str()));
    EXPECT_EQ(File::getcwd(), Text(root));
  }
  EXPECT_EQ(File::getcwd(), Text(tree.base()));
}
