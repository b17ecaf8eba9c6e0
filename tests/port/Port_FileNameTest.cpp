#include "port/Port_FileName.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "port/Port_File.h"
#include "support/TempInstallTree.h"

using Port::FileName;
using Text = Port::StringBase<char>;

// The separator the layer adds where none stands.
const std::string SEP(1, FileName::GetPathSeparator());

TEST(Port_FileNameTest, SplitsAtLastSeparator) {
  // Head (with its separator), tail and full path.
  const char* const cases[][2] = {
      {"a/b/c.txt", "a/b/|c.txt|a/b/c.txt"}, {"c.txt", "|c.txt|c.txt"}, {"a/b/", "a/b/||a/b/"},
      {"/c.txt", "/|c.txt|/c.txt"},          {"a//c", "a//|c|a/c"},     {"", "||"}};
  for (const auto& c : cases) {
    const FileName name(c[0]);
    EXPECT_EQ(name.GetHead(true, false).str() + "|" + name.GetTail().str() + "|" +
                  name.GetFullPath().str(),
              c[1])
        << c[0];
  }
  // A root keeps its separator even without one asked for.
  EXPECT_EQ(
      FileName("/f").GetHead(false, false).str() + FileName("a//f").GetHead(false, false).str(),
      "/a");
}

TEST(Port_FileNameTest, JoinPutsExactlyOneSeparator) {
  const std::string cases[][3] = {{"a", "b", "a" + SEP + "b"},
                                  {"a/", "b", "a/b"},
                                  {"a", "/b", "a/b"},
                                  {"a//", "//b", "a/b"},
                                  {"/", "b", "/b"},
                                  {"", "b", "b"},
                                  {"a/", "", "a/"},
                                  {"/", "/", "/"}};
  for (const auto& c : cases)
    EXPECT_EQ(FileName::Join(c[0], c[1]), Text(c[2])) << c[0] << " + " << c[1];
  FileName name("dir/file.txt");
  name.SetTail("f.txt");
  name.SetHead("other");
  name.PushPathEnd("x/y/");
  EXPECT_EQ(name.GetFullPath(), Text("other" + SEP + "x/y/f.txt"));
}

TEST(Port_FileNameTest, AbsolutePathsAgainstWorkingDirectory) {
  MintuTest::TempInstallTree tree;
  tree.MakeDir("w/sub");
  ASSERT_TRUE(Port::File::chdir(tree.Path("w")));
  const std::string w = tree.Path("w");
  EXPECT_EQ(FileName("sub/../x//y/./z").GetAbsolutePath(),
            Text(w + SEP + "x" + SEP + "y" + SEP + "z"));
  EXPECT_EQ(FileName("sub/").GetAbsolutePath(), Text(w + SEP + "sub" + SEP));
  EXPECT_EQ(FileName("sub/./f.txt").GetHead(false, true), Text(w + SEP + "sub"));
  EXPECT_EQ(FileName("f.txt").GetHead(true, true), Text(w + SEP));
  EXPECT_EQ(FileName("").GetAbsolutePath(), Text(""));
  // A rooted name without a drive lands on the current drive on Windows (Wine: Z:).
  const std::string rooted = FileName("/a/b/../c").GetAbsolutePath().str();
  EXPECT_EQ(rooted.substr(rooted.size() - 4), SEP + "a" + SEP + "c");
  EXPECT_TRUE(rooted.size() == 4 || rooted.substr(1, 1) == ":") << rooted;
}

TEST(Port_FileNameTest, ResolvesLinksOnlyWhenAsked) {
  MintuTest::TempInstallTree tree;
  tree.WriteFile("real/f.txt", "x");
  std::error_code error;
  std::filesystem::create_directory_symlink(tree.Path("real"), tree.Path("link"), error);
  if (error) GTEST_SKIP() << "no symbolic links here";
  const FileName name(tree.Path("link/../link/f.txt").c_str());
  EXPECT_EQ(name.GetAbsolutePath(false), Text(tree.Path("link/f.txt")));
  EXPECT_EQ(name.GetAbsolutePath(true), Text(tree.Path("real/f.txt")));
  // Missing parts stay as written after the resolved ones.
  EXPECT_EQ(FileName(tree.Path("link/none/g").c_str()).GetAbsolutePath(true),
            Text(tree.Path("real/none/g")));
  EXPECT_EQ(FileName(tree.Path("link/").c_str()).GetAbsolutePath(true),
            Text(tree.Path("real") + "/"));
}
